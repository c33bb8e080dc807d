// kivToken.cpp
// TkivToken: construction and cloning.
#include "runtime/cpp/kivToken.h"

#include <utility>

TkivToken::TkivToken(int type, std::string text) : fText(std::move(text)), fType(type) {}

IkivTokenPtr TkivToken::Clone() const {
  auto copy = std::make_shared<TkivToken>(fType, fText);
  copy->SetLine(fLine);
  copy->SetColumn(fColumn);
  return copy;
}
