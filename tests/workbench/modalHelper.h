// modalHelper.h
// Answers a modal dialog from inside its own event loop: the action runs once the expected
// dialog is the active modal widget.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs `action` on the first modal dialog of type T that shows up within about five seconds.
template <class T>
void OnModal(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
    if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(dialog);
    } else if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}
