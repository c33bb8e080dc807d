// kivExceptionSemantic.cpp
// EkivSemantic: construction.
#include "runtime/cpp/kivExceptionSemantic.h"

#include <utility>

EkivSemantic::EkivSemantic(std::string text, std::string fileName, int line, int column)
    : EkivException(kiv::ExceptionKind::Semantic, std::move(fileName), line, column), fText(std::move(text)) {}
