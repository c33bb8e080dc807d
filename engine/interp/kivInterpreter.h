// kivInterpreter.h - the grammar test rig: a grammar read from its text, analysed as for
// generation (nothing is written), and run on sample input by walking its element graph with the
// decisions the generated recognizer would take. The results are those of the compiled
// recognizer: the same tokens, the same accepted or rejected outcome, the same first error
// (exception class, text, line and column). Qt-free; a front end calls it on editor text.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/driver/kivDiagnostic.h"
#include "engine/kivLibTypes.h"

namespace kiv::interp {

struct Program;

// A rule as a front end lists it: whether a parser run may start with it (neither protected nor
// private), and where its body starts in the grammar (the line of its name or of its colon).
struct RuleInfo {
  std::string Name;
  bool Public = false;
  int Line = 0;
  int Column = 0;
};

// A grammar ready to run. Immutable after loading: several runs (on several threads) may share it.
class Grammar {
public:
  explicit Grammar(std::unique_ptr<Program> Compiled);
  ~Grammar();
  bool IsLexer() const;
  const std::string& Name() const;
  // The rule names a parser run may start with, in the grammar's order.
  std::vector<std::string> RuleNames() const;
  // Every rule, in the grammar's order.
  std::vector<RuleInfo> Rules() const;
  const Program& Compiled() const { return *fProgram; }

private:
  std::unique_ptr<Program> fProgram;
};

struct LoadResult {
  std::shared_ptr<const Grammar> Loaded;  // null when the grammar has errors
  int Errors = 0;
  int Warnings = 0;
  // The vocabulary file the build would write (a lexer's, for the parser that imports it).
  std::string VocabularyFile;  // its file name, without folder
  std::string VocabularyText;
  // The vocabulary the grammar's importVocab option named and that was read (empty when none).
  std::string ImportVocabulary;
};

// Reads, checks and analyses a grammar exactly as `kiv build` does, and compiles it for the
// interpreter. Name is the tool's name of the grammar (diagnostics start with it); vocabularies
// are imported from ExchangeDir. Diagnostics go to Handler and Listener (both may be null). The
// engine numbers blocks in a process-wide counter: loads must not run on two threads at once.
LoadResult LoadGrammar(const std::string& Text, const std::string& Name, const std::string& ExchangeDir,
                       IkivToolErrorHandler* Handler, DiagnosticListener* Listener);

enum class PredicateAnswerKind { AlwaysTrue, AlwaysFalse, Ask };

struct PredicateQuestion {
  std::string Rule;
  int Line = 0;
  int Column = 0;
  std::string Text;  // the predicate's Pascal expression
  bool Lexer = false;  // asked by the lexer of a run (else by its parser)
  // What the predicate's code would read where it stands: LA(I) (a character code in a lexer,
  // folded when it ignores case, 0 at the end; a token type in a parser) and a parser's LT(I)
  // text. Reading looks ahead as the compiled code would (a parser may fetch tokens).
  std::function<int(int)> LA;
  std::function<std::string(int)> LTText;
};

// An action where the compiled recognizer would run it.
struct ActionNote {
  bool Lexer = false;
  std::string Rule;
  int Line = 0;
  int Column = 0;
  std::string Text;  // its Pascal code
  // What its code would read, as for a predicate (PredicateQuestion).
  std::function<int(int)> LA;
  std::function<std::string(int)> LTText;
};

struct RecognitionError {
  std::string ClassName;  // EkivMismatchedChar, EkivMismatchedToken, EkivSemantic, EkivNestingTooDeep
  std::string Text;       // as the runtime's ErrorText words it, without the position
  std::string FileName;
  int Line = 0;
  int Column = 0;
};

// A handler that caught an error.
struct HandlerQuestion {
  bool Lexer = false;
  std::string Rule;
  int Line = 0;
  int Column = 0;
  std::string Text;   // its Pascal code
  RecognitionError Error;
};

struct RunOptions {
  std::string InputName;  // the file name errors carry
  std::string StartRule;  // a parser's rule; empty: the grammar's first rule
  PredicateAnswerKind Predicates = PredicateAnswerKind::AlwaysTrue;
  std::function<bool(const PredicateQuestion&)> Answer;  // for Ask
  // Told of every action in the order the compiled recognizer would run them (none runs here but
  // the lexer statements understood): a front end or a test may follow what they would do.
  std::function<void(const ActionNote&)> OnAction;
  // Whether an except handler passes the error on (raises); unset, one whose code holds "raise"
  // does, and every other catches it.
  std::function<bool(const HandlerQuestion&)> PassesOn;
  // How often in a row a loop may go round, or the lexer end a token, without consuming anything
  // before the run ends as one that would never end. 0 suits answers that never change (the
  // compiled recognizer would repeat itself for ever); give more when Answer or PassesOn may
  // answer otherwise the next time.
  unsigned StallLimit = 0;
  std::uint64_t StepBudget = 200'000'000;  // elements and decisions; 0 means no limit
  const std::atomic<bool>* Cancel = nullptr;  // polled; a run that sees true ends as aborted
  bool Tree = true;
  bool Trace = false;
  std::size_t TraceLimit = 100'000;  // events kept; the trace says when it was cut
};

struct Token {
  int Type = 0;
  std::string Text;
  int Line = 0;
  int Column = 0;
  std::size_t Begin = 0;  // the token's span in the input (bytes); [Begin, End)
  std::size_t End = 0;
};

struct TreeNode {
  bool IsToken = false;
  std::string Rule;      // rule nodes
  int Alternative = 0;   // rule nodes: the alternative taken (1-based), 0 before the decision
  int TokenIndex = -1;   // token leaves: index into RunResult::Tokens
  bool Recovered = false;  // a token that an error handler consumed
  std::size_t Begin = 0;
  std::size_t End = 0;
  int Line = 0;
  int Column = 0;
  std::vector<int> Children;
};

enum class TraceKind { Decision, LoopExit, PredicateTry, PredicateResult, Rewind, SemanticPredicate, Action, Handler, Error };

struct TraceEvent {
  TraceKind Kind = TraceKind::Decision;
  std::string Rule;
  int Line = 0;  // the block's (or element's) line in the grammar
  int Column = 0;
  std::string Lookahead;  // what was seen
  int Alternative = 0;    // chosen (1-based); 0 for none (an exit or an error clause)
  std::string Reason;
  int Guessing = 0;
  std::string Token;  // a NextToken decision: the token rule chosen
};


enum class RunEndKind { Accepted, Rejected, Aborted };

struct RunResult {
  RunEndKind End = RunEndKind::Accepted;
  std::vector<Token> Tokens;     // every token the lexer made, up to and with the first EOF
  std::vector<TreeNode> Tree;    // node 0 is the start rule (empty for a lexer alone)
  std::vector<TraceEvent> Trace;
  bool TraceCut = false;
  std::optional<RecognitionError> Error;        // the exception that ended the run
  std::vector<RecognitionError> Reported;       // errors the default handler reported and recovered from
  std::string AbortReason;                      // for Aborted
  std::uint64_t Steps = 0;
  const Program* LexerProgram = nullptr;   // names token types
  const Program* ParserProgram = nullptr;
};

// Runs a lexer alone (Parser null: the input is tokenized to the end), a parser over the lexer's
// tokens, or both. A parser without a lexer reads Tokens (see RunTokens).
RunResult Run(const Grammar* Lexer, const Grammar* Parser, const std::string& Input, const RunOptions& Options);

// Runs a parser over the given token types and texts (each token's line is its index + 1); past
// the end it reads EOF tokens.
RunResult RunTokens(const Grammar& Parser, const std::vector<Token>& Tokens, const RunOptions& Options);

// The vocabulary's name of a token type ("EOF", "ID", "\"begin\"", or the number).
std::string TokenTypeName(const RunResult& Result, int Type);

// "FILE(LINE,COLUMN) Error: TEXT"-style lines are the front end's; this is "TEXT" with the
// position as the compiled recognizer's ErrorText writes it: "FILE(LINE,COLUMN): TEXT".
std::string ErrorLine(const RecognitionError& Error);

// Text forms (kivInterpOutput.cpp): the tree, indented by two spaces a level, one node a line;
// the tokens, one a line; the trace, one event a line; everything as one JSON object.
std::string TreeText(const RunResult& Result);
std::string TokensText(const RunResult& Result);
std::string TraceText(const RunResult& Result);
std::string JsonText(const RunResult& Result, bool WithTokens, bool WithTree, bool WithTrace);

}  // namespace kiv::interp
