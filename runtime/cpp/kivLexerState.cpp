// kivLexerState.cpp
// TkivLexerState: construction over a character buffer.
#include "runtime/cpp/kivLexerState.h"

#include "runtime/cpp/kivCharBuffer.h"

TkivLexerState::TkivLexerState(std::istream& stream) : fInput(std::make_shared<TkivCharBuffer>(stream)) {}
