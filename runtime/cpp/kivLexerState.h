// kivLexerState.h
// TkivLexerState: a lexer's input, file name, position, token start and guessing depth.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <utility>

/// Created by the lexer over its (borrowed) stream; owns its character buffer. The class is final
/// so that a lexer holding it by its own type calls the accessors without virtual dispatch.
class TkivLexerState final : public IkivLexerState {
public:
  /// Creates a new TkivCharBuffer over stream, which the caller keeps alive.
  explicit TkivLexerState(std::istream& stream);

  const std::string& FileName() const override { return fFileName; }
  int Line() const override { return fLine; }
  int Column() const override { return fColumn; }
  int Guessing() const override { return fGuessing; }
  const IkivCharBufferPtr& Input() const override { return fInput; }
  int TokenStartLine() const override { return fTokenStartLine; }
  int TokenStartColumn() const override { return fTokenStartColumn; }
  void SetFileName(const std::string& fileName) override { fFileName = fileName; }
  void SetLine(int line) override { fLine = line; }
  void SetColumn(int column) override { fColumn = column; }
  void SetGuessing(int guessing) override { fGuessing = guessing; }
  void SetInput(IkivCharBufferPtr input) override { fInput = std::move(input); }
  void SetTokenStartLine(int line) override { fTokenStartLine = line; }
  void SetTokenStartColumn(int column) override { fTokenStartColumn = column; }

private:
  std::string fFileName;
  std::int32_t fColumn = 1;
  std::int32_t fLine = 1;
  std::int32_t fGuessing = 0;
  IkivCharBufferPtr fInput;
  std::int32_t fTokenStartColumn = 1;
  std::int32_t fTokenStartLine = 1;
};
