// kivRandomAgreement.cpp - the test rig (engine/interp) against the compiled recognizers of the
// random grammars.
//
// Note [what the rig must agree on]: for every case of a grammar pair that can be compared, the
// compiled recognizer (run by KrAgree, a second driver built beside KrDrive from the same units)
// and the test rig, loaded in process from the same grammar text, must give
//  - the same tokens: type, text, line and column of every token the lexer hands out (a lexer
//    alone: to the end of input; a parser over a lexer: the tokens the parser fetched, up to the
//    first end of input);
//  - the same end: accepted, or rejected with the same exception class, line and column;
//  - the same number of errors reported by default handlers.
// The rig runs no action and no handler's code; the test answers for them what the random
// grammars' members do (MemberDef): KrTick steps a state seeded by the recognizer's seed, in
// predicates and in actions (the rig tells the test of every action in order); KrSwallow swallows
// an error until a budget is used up; an action or predicate that reads LA(1) looks ahead, which
// makes a parser fetch a token from its lexer. Left out, and counted:
//  - a grammar with a predicate the test cannot answer (none so far);
//  - a run that used up a swallowing handler's budget (it ends with the budget's exception);
//  - a run that ended nesting too deep (the stack guards lie at different depths).
// Actions change nothing else in these grammars: they note numbers, set results, skip tokens
// (TT_SKIP) and count lines (newLine), which the rig understands.
#include "tests/random/kivRandomAgreement.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>

#include "engine/interp/kivInterpreter.h"

namespace fs = std::filesystem;

namespace kiv::rnd {

namespace {

// The engine numbers blocks in a process-wide counter: one load at a time.
std::mutex gLoadLock;

std::string ReadText(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteText(const std::string& Path, const std::string& Text) {
  std::ofstream out(Path, std::ios::binary);
  out << Text;
}

std::string Hex(const std::string& Text) {
  if (Text.empty()) return "-";
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : Text) {
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Which grammars can be compared
// ---------------------------------------------------------------------------------------------

void CollectPredicates(const std::vector<Alt>& Alts, std::vector<std::string>& Out) {
  for (const Alt& a : Alts)
    for (const Elem& e : a.Elems) {
      if (e.Kind == ElemKind::SemPred) Out.push_back(e.Text);
      if (e.Kind == ElemKind::Block) CollectPredicates(e.Alts, Out);
    }
}

// Why the grammar cannot be compared, or "": a predicate the test cannot answer.
std::string Exclusion(const Grammar& G) {
  std::vector<std::string> predicates;
  for (const Rule& r : G.Rules) CollectPredicates(r.Alts, predicates);
  static const char* const known[] = {"KrTick(", "LA(2) <> LA(1)", "LA(1) <> 'q'", "TokenText <> 'it''s'"};
  for (const std::string& p : predicates) {
    bool answered = false;
    for (const char* k : known) answered = answered || p.find(k) != std::string::npos;
    if (!answered) return "a semantic predicate the test cannot answer: " + p;
  }
  return "";
}

// What the random grammars' members do (MemberDef): KrTick steps a state that starts at 0 and
// depends on the recognizer's seed. One state per recognizer.
struct Ticks {
  int Seed = 0;
  int State[2] = {0, 0};  // parser, lexer
  int Swallowed[2] = {0, 0};
  // KrSwallow: a recognition error is swallowed until the budget is used up.
  bool Swallow(bool Lexer) { return ++Swallowed[Lexer ? 1 : 0] <= 200; }
  bool Tick(bool Lexer, int N) {
    int& s = State[Lexer ? 1 : 0];
    s = (s * 37 + 11 + Seed % 1000) % 1009;
    return s % N != 0;
  }
};

int TickArgument(const std::string& Text, std::size_t At) { return std::atoi(Text.c_str() + At + 7); }

// The answers of the random grammars' predicates (GenSemPred): KrTick(N), not KrTick(N), and
// tests of the lookahead.
bool Evaluate(Ticks& T, const interp::PredicateQuestion& Q) {
  const std::string& t = Q.Text;
  if (const std::size_t at = t.find("KrTick("); at != std::string::npos) {
    const bool tick = T.Tick(Q.Lexer, TickArgument(t, at));
    return t.find("not") != std::string::npos ? !tick : tick;
  }
  if (t.find("LA(2) <> LA(1)") != std::string::npos) return Q.LA(2) != Q.LA(1);
  if (t.find("LA(1) <> 'q'") != std::string::npos) return Q.LA(1) != 'q';
  if (t.find("TokenText <> 'it''s'") != std::string::npos) return Q.LTText(1) != "it's";
  return true;
}

// An action that calls KrTick steps the state too, and one that reads LA(1) makes the parser
// fetch the token (GenAction).
void Follow(Ticks& T, const interp::ActionNote& A) {
  if (const std::size_t at = A.Text.find("KrTick("); at != std::string::npos) T.Tick(A.Lexer, TickArgument(A.Text, at));
  if (A.Text.find("LA(1)") != std::string::npos) A.LA(1);
}

// ---------------------------------------------------------------------------------------------
// The recording driver
// ---------------------------------------------------------------------------------------------

const char* kHead = R"PAS(// Runs the recognizers of random grammars over cases (written by kiv_random_grammars) and prints
// what each run did, for the comparison with the test rig: the tokens handed out, the errors that
// handlers swallowed, the recognition exception that ended the run and its position.
program KrAgree;

{$MODE DELPHI}

uses
  SysUtils, Classes, BaseUnix, kivTypes, kivToken, kivException%UNITS%;

const
  KrTimeLimit = 5;

type
%CASETYPES%
  // Hands on the tokens of a lexer and prints each.
  TKrRecorder = class(TInterfacedObject, IkivTokenStream)
  private
    FSource: IkivTokenStream;
  public
    constructor Create(const ASource: IkivTokenStream);
    function NextToken: IkivToken;
  end;

var
  KrOutcome: string;
  KrSwallowed, KrLexerSwallowed, KrReports: Integer;

function KrHex(const Text: AnsiString): AnsiString;
const
  Digits: array[0..15] of AnsiChar = '0123456789ABCDEF';
var
  I: Integer;
begin
  if Text = '' then
    exit('-');
  SetLength(Result, 2 * Length(Text));
  for I := 1 to Length(Text) do
  begin
    Result[2 * I - 1] := Digits[Ord(Text[I]) shr 4];
    Result[2 * I] := Digits[Ord(Text[I]) and 15];
  end;
end;

procedure KrPrintToken(const T: IkivToken);
begin
  WriteLn('T ', T.TokenType, ' ', T.Line, ' ', T.Column, ' ', KrHex(T.TokenText));
end;

constructor TKrRecorder.Create(const ASource: IkivTokenStream);
begin
  inherited Create;
  FSource := ASource;
end;

function TKrRecorder.NextToken: IkivToken;
begin
  Result := FSource.NextToken;
  KrPrintToken(Result);
end;

procedure KrDrain(const Stream: IkivTokenStream; Limit: Integer);
var
  T: IkivToken;
  N: Integer;
begin
  N := 0;
  repeat
    T := Stream.NextToken;
    KrPrintToken(T);
    Inc(N);
    if N > Limit then
      exit;
  until T.TokenType = TT_EOF;
end;

)PAS";

const char* kTail = R"PAS(
procedure KrRunCase(Index: Integer; const Line: string);
var
  C: TKrCase;
begin
  C := KrParse(Line);
  WriteLn('RUN ', Index);
  KrOutcome := 'ok';
  KrSwallowed := 0;
  KrLexerSwallowed := 0;
  KrReports := 0;
  fpAlarm(KrTimeLimit);
  try
    KrDispatch(C);
    WriteLn('S ', KrSwallowed, ' ', KrLexerSwallowed, ' ', KrReports);
  except
    on E: EkivException do
    begin
      WriteLn('S ', KrSwallowed, ' ', KrLexerSwallowed, ' ', KrReports);
      WriteLn('E ', E.ClassName, ' ', E.Line, ' ', E.Column);
    end;
    on E: Exception do
      KrOutcome := 'FAIL';
  end;
  fpAlarm(0);
  WriteLn('END ', Index, ' ', KrOutcome);
  Flush(Output);
end;

var
  F: TextFile;
  Line: string;
  Index, Start: Integer;
begin
  Start := StrToIntDef(ParamStr(2), 0);
  fpSignal(SIGALRM, signalhandler(@KrOnAlarm));
  AssignFile(F, ParamStr(1));
  Reset(F);
  Index := 0;
  while not Eof(F) do
  begin
    ReadLn(F, Line);
    if (Index >= Start) and (Line <> '') then
      KrRunCase(Index, Line);
    Inc(Index);
  end;
  CloseFile(F);
  WriteLn('DONE');
end.
)PAS";

// The swallowed count and the budget are read in a finally part: they hold when an exception
// ends the run too.
std::string Procedures(const DriverGrammar& G, std::size_t Index, bool Lexer, bool Parser) {
  const std::string n = std::to_string(Index);
  std::string t = "// Seed " + std::to_string(G.Seed) + "\n";
  if (Lexer)
    t += "procedure KrLex" + n + "(const C: TKrCase);\n"
         "var\n"
         "  S: TStringStream;\n"
         "  L: " + G.LexerClass + ";\n"
         "  I: IkivTokenStream;\n"
         "begin\n"
         "  S := TStringStream.Create(C.Text);\n"
         "  try\n"
         "    L := " + G.LexerClass + ".Create(S);\n"
         "    I := L;\n"
         "    L.KrSeed := C.Seed;\n"
         "    try\n"
         "      KrDrain(I, Length(C.Text) + 300);\n"
         "    finally\n"
         "      KrLexerSwallowed := L.KrSwallowed;\n"
         "      if L.KrBudgetHit then KrOutcome := 'budget';\n"
         "    end;\n"
         "  finally\n"
         "    I := nil;\n"
         "    S.Free;\n"
         "  end;\n"
         "end;\n\n";
  if (!Parser) return t;
  std::string entries;
  for (std::size_t i = 0; i < G.Entries.size(); ++i)
    entries += "        " + std::to_string(i) + ": P." + PascalName(G.Entries[i]) + ";\n";
  const std::string k = std::to_string(G.ParserK);
  // The parser counts the errors its default handler reports.
  const std::string cls = "TKrParser" + n;
  t += "type\n"
       "  " + cls + " = class(" + G.ParserClass + ")\n"
       "  public\n"
       "    KrReports: Integer;\n"
       "    procedure reportError(E: Exception); override;\n"
       "  end;\n\n"
       "procedure " + cls + ".reportError(E: Exception);\n"
       "begin\n"
       "  Inc(KrReports);\n"
       "  inherited reportError(E);\n"
       "end;\n\n";
  t += "procedure KrEnter" + n + "(P: " + cls + "; Entry: Integer);\n"
       "begin\n"
       "  case Entry of\n" + entries + "  end;\n"
       "end;\n\n";
  t += "procedure KrPar" + n + "(const C: TKrCase);\n"
       "var\n"
       "  T: IkivTokenStream;\n"
       "  P: " + cls + ";\n"
       "begin\n"
       "  T := TKrTokens.Create(C.Types);\n"
       "  P := " + cls + ".Create(T, " + k + ");\n"
       "  T := nil;\n"
       "  try\n"
       "    P.KrSeed := C.Seed;\n"
       "    try\n"
       "      KrEnter" + n + "(P, C.Entry);\n"
       "    finally\n"
       "      KrSwallowed := P.KrSwallowed;\n"
       "      KrReports := P.KrReports;\n"
       "      if P.KrBudgetHit then KrOutcome := 'budget';\n"
       "    end;\n"
       "  finally\n"
       "    P.Free;\n"
       "  end;\n"
       "end;\n\n";
  if (!Lexer) return t;
  t += "procedure KrBoth" + n + "(const C: TKrCase);\n"
       "var\n"
       "  S: TStringStream;\n"
       "  L: " + G.LexerClass + ";\n"
       "  T: IkivTokenStream;\n"
       "  P: " + cls + ";\n"
       "begin\n"
       "  S := TStringStream.Create(C.Text);\n"
       "  try\n"
       "    L := " + G.LexerClass + ".Create(S);\n"
       "    L.KrSeed := C.Seed;\n"
       "    T := TKrRecorder.Create(L);\n"
       "    P := " + cls + ".Create(T, " + k + ");\n"
       "    T := nil;\n"
       "    try\n"
       "      P.KrSeed := C.Seed;\n"
       "      try\n"
       "        KrEnter" + n + "(P, C.Entry);\n"
       "      finally\n"
       "        KrSwallowed := P.KrSwallowed;\n"
       "        KrReports := P.KrReports;\n"
       "        KrLexerSwallowed := L.KrSwallowed;\n"
       "        if P.KrBudgetHit or L.KrBudgetHit then KrOutcome := 'budget';\n"
       "      end;\n"
       "    finally\n"
       "      P.Free;\n"
       "    end;\n"
       "  finally\n"
       "    S.Free;\n"
       "  end;\n"
       "end;\n\n";
  return t;
}

struct Selection {
  bool Lexer = false;
  bool Parser = false;
};

std::string DriverText(const std::vector<DriverGrammar>& Drivers, const std::vector<Selection>& Chosen) {
  std::string units;
  for (std::size_t i = 0; i < Drivers.size(); ++i) {
    if (!Chosen[i].Lexer && !Chosen[i].Parser) continue;
    units += ",\n  " + Drivers[i].LexerUnit;
    if (Chosen[i].Parser) units += ", " + Drivers[i].ParserUnit;
  }
  std::string text = kHead;
  text.replace(text.find("%UNITS%"), 7, units);
  text.replace(text.find("%CASETYPES%"), 11, CaseTypesText());
  for (std::size_t i = 0; i < Drivers.size(); ++i)
    if (Chosen[i].Lexer || Chosen[i].Parser) text += Procedures(Drivers[i], i, Chosen[i].Lexer, Chosen[i].Parser);
  text += "procedure KrDispatch(const C: TKrCase);\nbegin\n  case C.Grammar of\n";
  for (std::size_t i = 0; i < Drivers.size(); ++i) {
    if (!Chosen[i].Lexer && !Chosen[i].Parser) continue;
    const std::string n = std::to_string(i);
    text += "    " + n + ":\n      case C.Kind of\n";
    if (Chosen[i].Lexer) text += "        'L': KrLex" + n + "(C);\n";
    if (Chosen[i].Parser) text += "        'P': KrPar" + n + "(C);\n";
    if (Chosen[i].Lexer && Chosen[i].Parser) text += "        'C': KrBoth" + n + "(C);\n";
    text += "      end;\n";
  }
  text += "  end;\nend;\n";
  return text + "\n" + CaseReaderText() + kTail;
}

// ---------------------------------------------------------------------------------------------
// Processes
// ---------------------------------------------------------------------------------------------

// Runs a program in Dir with its output in OutFile; false when it could not be started or ran
// past TimeoutSeconds (it is killed then).
int RunIn(const std::vector<std::string>& Argv, const std::string& Dir, const std::string& OutFile, int TimeoutSeconds) {
  std::vector<char*> args;
  for (const std::string& a : Argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(Dir.c_str()) != 0) _exit(127);
    if (std::freopen(OutFile.c_str(), "w", stdout) == nullptr) _exit(127);
    dup2(1, 2);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  for (int waited = 0;; waited += 5) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (waited > TimeoutSeconds * 1000) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(5000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ---------------------------------------------------------------------------------------------
// Runs
// ---------------------------------------------------------------------------------------------

struct Outcome {
  std::vector<std::string> Tokens;  // "type line column hex", up to the first end of input
  bool Budget = false;
  bool Fault = false;
  int Swallowed = 0;       // by the parser's handlers and its reportError
  int LexerSwallowed = 0;  // by the lexer's handlers
  int Reports = 0;         // by the parser's default handler
  std::string Error;  // "class line column", "" when accepted
};

std::string TokenLine(int Type, int Line, int Column, const std::string& Text) {
  return std::to_string(Type) + " " + std::to_string(Line) + " " + std::to_string(Column) + " " + Hex(Text);
}

std::string OutcomeText(const Outcome& O) {
  std::string text;
  for (const std::string& t : O.Tokens) text += "    T " + t + "\n";
  if (O.Reports != 0) text += "    " + std::to_string(O.Reports) + " errors reported by default handlers\n";
  text += "    " + (O.Error.empty() ? std::string("accepted") : "rejected: " + O.Error) + "\n";
  return text;
}

// The compiled runs of one driver output, by case index.
void ReadRuns(const std::string& Output, std::map<long, Outcome>& Runs, long& Running, bool& Done) {
  std::istringstream in(Output);
  std::string line;
  Outcome current;
  bool eof = false;
  Running = -1;
  while (std::getline(in, line)) {
    if (line.rfind("RUN ", 0) == 0) {
      Running = std::stol(line.substr(4));
      current = Outcome();
      eof = false;
    } else if (line.rfind("T ", 0) == 0) {
      if (!eof) current.Tokens.push_back(line.substr(2));
      eof = eof || line.rfind("T 1 ", 0) == 0;
    } else if (line.rfind("S ", 0) == 0) {
      std::istringstream fields(line.substr(2));
      fields >> current.Swallowed >> current.LexerSwallowed >> current.Reports;
    } else if (line.rfind("E ", 0) == 0) {
      current.Error = line.substr(2);
    } else if (line.rfind("END ", 0) == 0) {
      std::istringstream fields(line.substr(4));
      long index = 0;
      std::string outcome;
      fields >> index >> outcome;
      current.Budget = outcome == "budget";
      current.Fault = outcome == "FAIL";
      Runs[index] = current;
      Running = -1;
    } else if (line == "DONE") {
      Done = true;
    }
  }
}

struct Loaded {
  std::shared_ptr<const interp::Grammar> Lexer;
  std::shared_ptr<const interp::Grammar> Parser;
};

std::shared_ptr<const interp::Grammar> Load(const std::string& Dir, const std::string& File, std::string& Problem) {
  std::lock_guard<std::mutex> guard(gLoadLock);
  const interp::LoadResult r = interp::LoadGrammar(ReadText((fs::path(Dir) / File).string()), File, Dir, nullptr, nullptr);
  if (!r.Loaded) Problem = "the test rig rejects " + File + " (" + std::to_string(r.Errors) + " errors), which kiv built";
  return r.Loaded;
}

Outcome RunRig(const Loaded& G, const DriverGrammar& D, const Case& C, std::string& Aborted) {
  interp::RunOptions options;
  options.InputName = "input";
  options.Tree = false;
  options.StepBudget = 20'000'000;
  options.StallLimit = 1000;  // the answers of KrTick change from call to call
  options.Predicates = interp::PredicateAnswerKind::Ask;
  Ticks ticks;
  ticks.Seed = C.Seed;
  options.Answer = [&ticks](const interp::PredicateQuestion& Q) { return Evaluate(ticks, Q); };
  options.OnAction = [&ticks](const interp::ActionNote& A) { Follow(ticks, A); };
  // The handlers (HandlerText) raise, or swallow through KrSwallow.
  options.PassesOn = [&ticks](const interp::HandlerQuestion& H) {
    return H.Text.find("KrSwallow") == std::string::npos || !ticks.Swallow(H.Lexer);
  };
  if (C.Kind != CaseKind::LexerText) options.StartRule = D.Entries[static_cast<std::size_t>(C.Entry)];
  interp::RunResult r;
  if (C.Kind == CaseKind::LexerText) {
    r = interp::Run(G.Lexer.get(), nullptr, C.Text, options);
  } else if (C.Kind == CaseKind::Combined) {
    r = interp::Run(G.Lexer.get(), G.Parser.get(), C.Text, options);
  } else {
    // As the driver's token stream hands them out: line 1, the column counts the tokens, and
    // after them end-of-input tokens at 1:1.
    std::vector<interp::Token> tokens;
    for (std::size_t i = 0; i < C.Types.size(); ++i) {
      interp::Token t;
      t.Type = C.Types[i];
      t.Text = "t" + std::to_string(i);
      t.Line = 1;
      t.Column = static_cast<int>(i) + 1;
      tokens.push_back(std::move(t));
    }
    interp::Token eof;
    eof.Type = 1;
    eof.Line = 1;
    eof.Column = 1;
    tokens.insert(tokens.end(), 1000, eof);
    r = interp::RunTokens(*G.Parser, tokens, options);
  }
  Outcome o;
  if (C.Kind != CaseKind::ParserTokens)
    for (const interp::Token& t : r.Tokens) o.Tokens.push_back(TokenLine(t.Type, t.Line, t.Column, t.Text));
  if (r.Error) o.Error = r.Error->ClassName + " " + std::to_string(r.Error->Line) + " " + std::to_string(r.Error->Column);
  o.Reports = static_cast<int>(r.Reported.size());
  if (r.End == interp::RunEndKind::Aborted) Aborted = r.AbortReason;
  return o;
}

}  // namespace

void AgreementTotals::Add(const AgreementTotals& Other) {
  Lexers += Other.Lexers;
  Parsers += Other.Parsers;
  Runs += Other.Runs;
  Disagreements += Other.Disagreements;
  for (const auto& [why, n] : Other.Excluded) Excluded[why] += n;
  for (const auto& [why, n] : Other.Skipped) Skipped[why] += n;
}

std::string AgreementTotals::Summary() const {
  std::string text = "  test rig against the compiled recognizers: " + std::to_string(Lexers) + " lexers and " +
                     std::to_string(Parsers) + " parsers compared, " + std::to_string(Runs) + " runs agree";
  if (Disagreements != 0) text += ", " + std::to_string(Disagreements) + " disagree";
  text += "\n";
  if (Excluded.empty()) text += "    no grammar left out\n";
  for (const auto& [why, n] : Excluded) text += "    " + std::to_string(n) + " grammars left out: " + why + "\n";
  for (const auto& [why, n] : Skipped) text += "    " + std::to_string(n) + " runs not compared: " + why + "\n";
  return text;
}

std::vector<AgreementFailure> CheckAgreement(const AgreementSetup& Setup, const std::vector<DriverGrammar>& Drivers,
                                             const std::vector<AgreementGrammar>& Grammars,
                                             const std::vector<Case>& Cases, AgreementTotals& Totals) {
  std::vector<AgreementFailure> failures;
  std::vector<Selection> chosen(Drivers.size());
  std::vector<Loaded> loaded(Drivers.size());
  for (std::size_t i = 0; i < Drivers.size(); ++i) {
    const AgreementGrammar& g = Grammars[i];
    if (g.Lexer == nullptr) continue;  // not chosen
    std::string why = Exclusion(*g.Lexer);
    if (!why.empty()) {
      ++Totals.Excluded["lexer: " + why];
    } else {
      std::string problem;
      loaded[i].Lexer = Load(Setup.Dir, g.LexerFile, problem);
      if (!problem.empty()) failures.push_back({i, problem});
      chosen[i].Lexer = loaded[i].Lexer != nullptr;
      Totals.Lexers += chosen[i].Lexer ? 1 : 0;
    }
    if (g.Parser == nullptr || Drivers[i].ParserUnit.empty()) continue;
    why = Exclusion(*g.Parser);
    if (!why.empty()) {
      ++Totals.Excluded["parser: " + why];
      continue;
    }
    // Its tokens are given directly too: it is compared even when its lexer is not. Its
    // vocabulary is the one kiv wrote for the lexer.
    std::string problem;
    loaded[i].Parser = Load(Setup.Dir, g.ParserFile, problem);
    if (!problem.empty()) failures.push_back({i, problem});
    chosen[i].Parser = loaded[i].Parser != nullptr;
    Totals.Parsers += chosen[i].Parser ? 1 : 0;
  }

  // The cases of the chosen grammars, under their own indices.
  std::string lines;
  std::size_t selected = 0;
  for (const Case& c : Cases) {
    const Selection& s = chosen[static_cast<std::size_t>(c.Grammar)];
    const bool take = c.Kind == CaseKind::LexerText ? s.Lexer : c.Kind == CaseKind::ParserTokens ? s.Parser : s.Lexer && s.Parser;
    lines += (take ? CaseLine(c) : std::string()) + "\n";
    selected += take ? 1 : 0;
  }
  if (selected == 0) return failures;
  const fs::path dir(Setup.Dir);
  WriteText((dir / "agree-cases.txt").string(), lines);
  WriteText((dir / "KrAgree.pas").string(), DriverText(Drivers, chosen));
  const int built = RunIn({Setup.Fpc, "-Mdelphi", "-Cr", "-Co", "-gl", "-vew", "-Fu" + Setup.Runtime, "-Fu.", "-FUunits",
                           "-FE.", "KrAgree.pas"},
                          Setup.Dir, (dir / "agree-fpc.log").string(), 600);
  if (built != 0) {
    failures.push_back({Drivers.size(), "the agreement driver does not compile:\n" + ReadText((dir / "agree-fpc.log").string())});
    return failures;
  }

  // Runs the driver, again after the case that ended it (a time-out or a crash, which KrDrive
  // reports for itself).
  std::map<long, Outcome> compiled;
  long start = 0;
  for (int round = 0; round < 100; ++round) {
    const std::string out = (dir / ("agree-" + std::to_string(round) + ".out")).string();
    RunIn({"./KrAgree", "agree-cases.txt", std::to_string(start)}, Setup.Dir, out, 1800);
    long running = -1;
    bool done = false;
    ReadRuns(ReadText(out), compiled, running, done);
    if (done || running < 0) break;
    ++Totals.Skipped["the compiled run did not end"];
    start = running + 1;
  }

  for (const auto& [index, expected] : compiled) {
    const Case& c = Cases[static_cast<std::size_t>(index)];
    const std::size_t gi = static_cast<std::size_t>(c.Grammar);
    if (expected.Fault) continue;  // KrDrive fails the seed
    if (expected.Budget) {
      ++Totals.Skipped["a handler used up its budget"];
      continue;
    }
    std::string aborted;
    const Outcome actual = RunRig(loaded[gi], Drivers[gi], c, aborted);
    if (expected.Error.rfind("EkivNestingTooDeep", 0) == 0 || actual.Error.rfind("EkivNestingTooDeep", 0) == 0) {
      ++Totals.Skipped["nesting too deep"];
      continue;
    }
    if (aborted.empty() && actual.Tokens == expected.Tokens && actual.Error == expected.Error &&
        actual.Reports == expected.Reports) {
      ++Totals.Runs;
      continue;
    }
    ++Totals.Disagreements;
    failures.push_back({gi, "the test rig disagrees with the compiled recognizer\n  case: " + CaseDescription(c, Drivers) +
                                "\n  line " + std::to_string(index) + " of cases.txt: " + CaseLine(c) +
                                "\n  compiled:\n" + OutcomeText(expected) + "  test rig:\n" +
                                (aborted.empty() ? OutcomeText(actual) : "    aborted: " + aborted + "\n")});
  }
  return failures;
}

}  // namespace kiv::rnd
