// kivLLkParser.cpp
// TkivLLkParser: construction.
#include "runtime/cpp/kivLLkParser.h"

#include <utility>

TkivLLkParser::TkivLLkParser(IkivTokenStreamPtr tokenStream, int k) : TkivParser(std::move(tokenStream)), fK(k) {}
