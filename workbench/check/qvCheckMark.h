// qvCheckMark.h
// One diagnostic of a background check as an editor shows it: a mark in the margin at a line,
// with the diagnostic's text as the mark's tool tip.
#pragma once

#include <QString>
#include <vector>

namespace kiv {

enum class CheckMarkKind { Error, Warning };

struct CheckMark {
  int line = 1;  // 1-based; diagnostics without a usable line are marked at line 1
  CheckMarkKind kind = CheckMarkKind::Error;
  QString text;  // the diagnostic line as the message list shows it
};

using CheckMarks = std::vector<CheckMark>;

}  // namespace kiv
