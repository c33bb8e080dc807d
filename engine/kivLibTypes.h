// kivLibTypes.h - the engine's shared interface declarations.
// Every pass sees the others only through these abstract classes; the stage directories implement them.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

class IkivGrammar;
class IkivAlternativeBlock;
class IkivLookahead;

using IkivGrammarPtr = std::shared_ptr<IkivGrammar>;
using IkivLookaheadPtr = std::shared_ptr<IkivLookahead>;
// One lookahead set per depth, the first for depth 1.
using TkivLookaheadList = std::vector<IkivLookaheadPtr>;

// Raised by IkivTool::Panic when a pass meets an internal contradiction; the running phase of the
// build catches it. It carries only its message.
class EkivPanic : public std::exception {
public:
  explicit EkivPanic(std::string msg) : fMessage(std::move(msg)) {}
  const char* what() const noexcept override { return fMessage.c_str(); }
  const std::string& Message() const { return fMessage; }

private:
  std::string fMessage;
};

// Receives every finished diagnostic line of a build.
class IkivToolErrorHandler {
public:
  virtual ~IkivToolErrorHandler() = default;
  // A warning line, or a line that belongs to the warning before it.
  virtual void HandleWarning(const std::string& Text) = 0;
  virtual void HandleError(const std::string& Text) = 0;
  // A line of no kind (fatal errors).
  virtual void HandleMessage(const std::string& Text) = 0;
};

// The diagnostic channel of every pass, and the front door of one build.
class IkivTool {
public:
  virtual ~IkivTool() = default;
  virtual int GetWarningCount() const = 0;
  virtual int GetErrorCount() const = 0;
  virtual void Run() = 0;
  virtual void Message(const std::string& Text) = 0;
  virtual void Error(const std::string& Msg, const std::string& FileName, int Line, int Column) = 0;
  virtual void Warning(const std::string& Msg, const std::string& FileName, int Line, int Column) = 0;
  [[noreturn]] virtual void Panic(const std::string& Msg) = 0;
  virtual void AltsNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, bool Lexical,
                                  int Depth, const TkivLookaheadList& Lookaheads, int AltA, int AltB) = 0;
  virtual void ExitBranchNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block,
                                        bool Lexical, int Depth, const TkivLookaheadList& Lookaheads,
                                        int Alt) = 0;
};
