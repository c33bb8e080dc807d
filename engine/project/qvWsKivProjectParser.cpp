// qvWsKivProjectParser.cpp
// Rule methods of the project-file parser.
#include "engine/project/qvWsKivProjectParser.h"

#include "engine/project/qvWsKivProjectLexer.h"

TqvWsKivProjectParser::TqvWsKivProjectParser(IkivTokenStreamPtr tokenStream,
                                             kiv::ProjectFile& target)
    : TkivLLkParser(std::move(tokenStream), 1), fTarget(target) {}

void TqvWsKivProjectParser::project() {
  match(kiv::ptKIV);
  match(kiv::ptProject);
  if (LA(1) == kiv::ptOutputDir) outputDir();
  if (LA(1) == kiv::ptExchangeDir) exchangeDir();
  while (LA(1) == kiv::ptGrammar) grammar();
  match(kiv::ptEnd);
}

std::string TqvWsKivProjectParser::matchString() {
  const IkivTokenPtr token = LT(1);
  match(kiv::ptString);
  return token->TokenText();
}

void TqvWsKivProjectParser::outputDir() {
  match(kiv::ptOutputDir);
  match(kiv::ptAssign);
  fTarget.outputDir = matchString();
}

void TqvWsKivProjectParser::exchangeDir() {
  match(kiv::ptExchangeDir);
  match(kiv::ptAssign);
  fTarget.exchangeDir = matchString();
}

void TqvWsKivProjectParser::grammar() {
  const int line = LT(1)->Line();
  match(kiv::ptGrammar);
  match(kiv::ptAssign);
  kiv::ProjectGrammar entry;
  entry.line = line;
  entry.path = matchString();
  // The clause counts as soon as its path is read: looking for "show" may already meet an error.
  fTarget.grammars.push_back(std::move(entry));
  if (LA(1) == kiv::ptShow) {
    match(kiv::ptShow);
    fTarget.grammars.back().show = true;
  }
}
