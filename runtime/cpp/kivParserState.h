// kivParserState.h
// TkivParserState: a parser's token input, file name and guessing depth.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <cstdint>
#include <string>
#include <utility>

/// Holds (shares) the token buffer given to it. Final, so that a parser holding it by its own type
/// calls the accessors without virtual dispatch.
class TkivParserState final : public IkivParserState {
public:
  explicit TkivParserState(IkivTokenBufferPtr input) : fInput(std::move(input)) {}

  const IkivTokenBufferPtr& Input() const override { return fInput; }
  const std::string& FileName() const override { return fFileName; }
  int Guessing() const override { return fGuessing; }
  void SetFileName(const std::string& fileName) override { fFileName = fileName; }
  void SetGuessing(int guessing) override { fGuessing = guessing; }

private:
  std::string fFileName;
  std::int32_t fGuessing = 0;
  IkivTokenBufferPtr fInput;
};
