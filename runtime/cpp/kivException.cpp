// kivException.cpp
// EkivException: construction.
#include "runtime/cpp/kivException.h"

#include <utility>

EkivException::EkivException(kiv::ExceptionKind kind, std::string fileName, int line, int column)
    : fKind(kind), fFileName(std::move(fileName)), fLine(line), fColumn(column) {}
