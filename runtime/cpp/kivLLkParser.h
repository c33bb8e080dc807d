// kivLLkParser.h
// TkivLLkParser: the LL(k) parser base whose look-ahead reads the token buffer directly.
#pragma once

#include "runtime/cpp/kivParser.h"

#include <cstdint>
#include <string>

/// The class every hand-written and generated parser descends from. k is the look-ahead depth the
/// parser was built for; the buffer itself looks as far as asked.
class TkivLLkParser : public TkivParser {
public:
  TkivLLkParser(IkivTokenStreamPtr tokenStream, int k);

  void consume() override { InputState->Input()->consume(); }
  int LA(int i) override { return InputState->Input()->LA(i); }
  IkivTokenPtr LT(int i) override { return InputState->Input()->LT(i); }

  /// The look-ahead depth given to the constructor.
  int K() const { return fK; }
  /// The input state's file name (to position the parser's own messages).
  const std::string& FileName() const { return InputState->FileName(); }

private:
  std::int32_t fK;
};
