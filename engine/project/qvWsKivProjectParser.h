// qvWsKivProjectParser.h
// TqvWsKivProjectParser: the LL(1) parser of project files. It fills a ProjectFile clause by
// clause, so whatever was read before a syntax error stays.
#pragma once

#include "runtime/cpp/kivLLkParser.h"
#include "engine/project/kivProjectFile.h"

// project:      "KIV" "project" [outputDir] [exchangeDir] {grammar} "End"
// outputDir:    "OutputDir" "=" STRING
// exchangeDir:  "ExchangeDir" "=" STRING
// grammar:      "Grammar" "=" STRING ["show"]
// Text after "End" is never read. Errors raise EkivMismatchedToken (or the lexer's
// EkivMismatchedChar); the parser catches nothing.
class TqvWsKivProjectParser : public TkivLLkParser {
public:
  TqvWsKivProjectParser(IkivTokenStreamPtr tokenStream, kiv::ProjectFile& target);

  void project();

private:
  void outputDir();
  void exchangeDir();
  void grammar();
  std::string matchString();

  kiv::ProjectFile& fTarget;
};
