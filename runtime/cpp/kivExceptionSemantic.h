// kivExceptionSemantic.h
// EkivSemantic: a semantic predicate failed.
#pragma once

#include "runtime/cpp/kivException.h"

#include <string>

/// Raised by a recognizer when a semantic predicate is false. A recognition exception of kind
/// Semantic, positioned at the input state, that keeps the predicate's text.
class EkivSemantic : public EkivException {
public:
  EkivSemantic(std::string text, std::string fileName, int line, int column);

  /// The predicate (or message) text given to the constructor.
  const std::string& Text() const { return fText; }

private:
  std::string fText;
};
