// kivInterpreter.cpp - running a compiled grammar: one walker for decisions, loops, predicates and
// handlers, with a lexer (characters) and a parser (tokens) beneath it. Every step mirrors the
// generated Pascal and its runtime (kivLexer, kivLLkParser, kivTokenBuffer): what is compared,
// consumed, marked and rewound, and where each exception is raised with which position.
#include "engine/interp/kivInterpreter.h"

#include <algorithm>

#include "engine/codegen/kivStackRoom.h"
#include "engine/interp/kivInterpProgram.h"
#include "runtime/cpp/kivUtils.h"

namespace kiv::interp {

namespace {

constexpr int kTypeEof = 1;
constexpr int kTypeSkip = -1;

// A recognition exception of the compiled recognizer: caught by handlers and guesses.
struct Failure {
  RecognitionError Error;
};

// The end of a run that no handler may catch: the step budget, a cancel, a loop without progress.
struct Abort {
  std::string Reason;
};

std::string QuotedText(const std::string& S) {
  std::string result;
  bool quoted = false;
  for (const char ch : S) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 32 && c <= 126) {
      if (!quoted) result += '\'';
      quoted = true;
      result += ch;
      if (ch == '\'') result += '\'';
    } else {
      if (quoted) result += '\'';
      quoted = false;
      result += '#' + std::to_string(c);
    }
  }
  if (quoted) result += '\'';
  if (result.empty()) result = "''";
  return result;
}

unsigned char Fold(unsigned char C) { return (C >= 'A' && C <= 'Z') ? static_cast<unsigned char>(C + 32) : C; }

// What every run shares: the options, the budget, the trace and the stack guard.
class RunContext {
public:
  RunContext(const RunOptions& Options, RunResult& Result) : O(Options), R(Result) {
    char probe = 0;
    const std::size_t room = ThreadStackRoom();
    // Leave a generous reserve for what runs beside the walk (handlers, the trace, the allocator).
    constexpr std::size_t reserve = 256 * 1024;
    fLimit = room > 2 * reserve ? &probe - (room - reserve) : nullptr;
  }

  const RunOptions& O;
  RunResult& R;

  void Step() {
    ++R.Steps;
    if ((R.Steps & 1023) == 0) {
      if (O.Cancel != nullptr && O.Cancel->load(std::memory_order_relaxed)) throw Abort{"cancelled"};
      if (O.StepBudget != 0 && R.Steps > O.StepBudget)
        throw Abort{"the run took more than " + std::to_string(O.StepBudget) + " steps (the step budget)"};
    }
  }

  // True when the walk may go one level deeper; the compiled recognizer's stack guard raises
  // EkivNestingTooDeep where this answers false.
  bool StackLeft() const {
    char probe = 0;
    if (fLimit != nullptr) return &probe > fLimit;
    return fDepth < 4000;
  }
  int fDepth = 0;

  bool Tracing() const { return O.Trace; }
  void Event(TraceEvent&& E) {
    if (R.Trace.size() >= O.TraceLimit) {
      R.TraceCut = true;
      return;
    }
    R.Trace.push_back(std::move(E));
  }

  // Look gives the question its lookahead (only when one is asked).
  template <class Look>
  bool Answer(const Program& P, int Predicate, Look&& Lookahead) {
    bool answer = true;
    switch (O.Predicates) {
      case PredicateAnswerKind::AlwaysTrue: answer = true; break;
      case PredicateAnswerKind::AlwaysFalse: answer = false; break;
      case PredicateAnswerKind::Ask: {
        const PredicateInfo& info = P.Predicates[static_cast<std::size_t>(Predicate)];
        PredicateQuestion question{info.Rule, info.Line, info.Column, info.Text, P.Lexer, {}, {}};
        Lookahead(question);
        answer = O.Answer ? O.Answer(question) : true;
        break;
      }
    }
    return answer;
  }

private:
  const char* fLimit = nullptr;
};

enum class DecisionKind { Ran, Nothing, ErrorClause };

// The walk shared by lexer and parser. Derived provides LA (a code or type, membership 0..255),
// Position, Mark/Rewind, the matches, rule calls, actions and the errors with its positions.
template <class Derived>
class Walker {
public:
  Walker(const Program& P, RunContext& C) : fP(P), fC(C) {}

protected:
  Derived& Self() { return static_cast<Derived&>(*this); }

  bool Holds(const std::vector<Term>& Terms) {
    for (const Term& t : Terms) {
      const int la = Self().LA(t.Depth);
      if (la < 0 || la > 255 || !t.Members.test(static_cast<std::size_t>(la))) return false;
    }
    return true;
  }

  void TraceDecision(const Block& B, int Alt, const char* Reason, const Alternative* Chosen = nullptr) {
    TraceEvent e;
    if (Chosen != nullptr && B.Kind == BlockKind::NextToken)
      for (const Op& op : Chosen->Ops)
        if (op.Kind == OpKind::RuleCall && op.Target != nullptr) {
          e.Token = op.Target->Name;
          break;
        }
    e.Kind = TraceKind::Decision;
    e.Rule = B.RuleName;
    e.Line = B.Line;
    e.Column = B.Column;
    e.Lookahead = Self().LookaheadText();
    e.Alternative = Alt;
    e.Reason = Reason;
    e.Guessing = fGuessing;
    fC.Event(std::move(e));
  }

  void TraceNote(TraceKind Kind, const Block* B, int Line, int Column, std::string Reason, int Alt = 0) {
    TraceEvent e;
    e.Kind = Kind;
    e.Rule = B != nullptr ? B->RuleName : fRuleName;
    e.Line = Line;
    e.Column = Column;
    e.Alternative = Alt;
    e.Reason = std::move(Reason);
    e.Guessing = fGuessing;
    fC.Event(std::move(e));
  }

  bool Predicate(int Index, const char* Where) {
    const bool answer = fC.Answer(fP, Index, [this](PredicateQuestion& Q) { Self().Lookahead(Q); });
    if (fC.Tracing()) {
      const PredicateInfo& info = fP.Predicates[static_cast<std::size_t>(Index)];
      TraceNote(TraceKind::SemanticPredicate, nullptr, info.Line, info.Column,
                std::string(Where) + " {" + info.Text + "}? is " + (answer ? "true" : "false"));
    }
    return answer;
  }

  // GenSemPredCheck: a predicate that must hold.
  void CheckPredicate(int Index) {
    if (Predicate(Index, "validating")) return;
    Self().RaiseSemantic(fP.Predicates[static_cast<std::size_t>(Index)].Text);
  }

  // GenSynPredAttempt: mark, guess, rewind; true when the guess matched.
  bool Guess(const Block& Pred, const Alternative& Alt, const Block& Owner) {
    if (fC.Tracing()) TraceNote(TraceKind::PredicateTry, &Owner, Pred.Line, Pred.Column, "guess", Alt.Index);
    const auto mark = Self().Mark();
    ++fGuessing;
    bool matched = true;
    try {
      RunBlock(Pred);
    } catch (const Failure& f) {
      matched = false;
      if (fC.Tracing())
        TraceNote(TraceKind::PredicateResult, &Owner, Pred.Line, Pred.Column, "failed: " + f.Error.Text, Alt.Index);
    }
    Self().Rewind(mark);
    --fGuessing;
    if (fC.Tracing()) {
      if (matched) TraceNote(TraceKind::PredicateResult, &Owner, Pred.Line, Pred.Column, "matched", Alt.Index);
      TraceNote(TraceKind::Rewind, &Owner, Pred.Line, Pred.Column, "rewind to " + Self().PositionText());
    }
    return matched;
  }

  DecisionKind Decide(const Block& B) {
    fC.Step();
    for (const Alternative* alt : B.Guessed) {
      if (!Guess(*alt->SynPred, *alt, B)) continue;
      Chosen(B, *alt, "syntactic predicate");
      RunAlternative(*alt);
      return DecisionKind::Ran;
    }
    for (const Branch& branch : B.Branches) {
      if (!Holds(branch.Terms)) continue;
      if (branch.Alt->Predicate >= 0 && !Predicate(branch.Alt->Predicate, "gating")) continue;
      Chosen(B, *branch.Alt, branch.Terms.empty() ? "always" : "lookahead");
      RunAlternative(*branch.Alt);
      return DecisionKind::Ran;
    }
    if (B.Default != nullptr) {
      Chosen(B, *B.Default, "default (no lookahead to test)");
      RunAlternative(*B.Default);
      return DecisionKind::Ran;
    }
    if (B.NeedsErrorClause && (B.GeneratedIf || B.ClosesGroup)) {
      // A loop says itself whether it leaves or fails.
      const bool loop = B.Kind == BlockKind::ZeroOrMore || B.Kind == BlockKind::OneOrMore;
      if (fC.Tracing() && !loop) TraceDecision(B, 0, "no alternative applies");
      return DecisionKind::ErrorClause;
    }
    if (fC.Tracing()) TraceDecision(B, 0, "the empty alternative");
    return DecisionKind::Nothing;
  }

  void Chosen(const Block& B, const Alternative& Alt, const char* Reason) {
    if (B.Kind == BlockKind::Rule) Self().RuleAlternative(Alt.Index);
    if (fC.Tracing()) TraceDecision(B, Alt.Index, Reason, &Alt);
  }

  template <class Body>
  void WithHandler(const std::string& Kind, bool Reraises, const std::string& Text, int Line, int Column, Body&& body) {
    if (Kind.empty() || Kind == "finally") {
      body();
      return;
    }
    try {
      body();
    } catch (const Failure& f) {
      if (fGuessing > 0) throw;
      const bool passes = fC.O.PassesOn ? fC.O.PassesOn({fP.Lexer, fRuleName, Line, Column, Text, f.Error}) : Reraises;
      if (fC.Tracing())
        TraceNote(TraceKind::Handler, nullptr, Line, Column,
                  std::string(passes ? "handler passes on: " : "handler (not run) catches: ") + f.Error.Text);
      if (passes) throw;
    }
  }

  void RunAlternative(const Alternative& Alt) {
    WithHandler(Alt.HandlerKind, Alt.HandlerReraises, Alt.HandlerText, Alt.Line, Alt.Column, [&] {
      for (const Op& op : Alt.Ops) RunOp(op);
    });
  }

  void RunOp(const Op& O) {
    fC.Step();
    switch (O.Kind) {
      case OpKind::Block: RunBlock(*O.Sub); break;
      case OpKind::SemPred: CheckPredicate(O.Predicate); break;
      case OpKind::Action:
        if (O.Guarded && fGuessing > 0) break;
        Self().Action(O);
        if (fC.O.OnAction) {
          ActionNote note{fP.Lexer, fRuleName, O.Line, O.Column, O.Text, {}, {}};
          Self().Lookahead(note);
          fC.O.OnAction(note);
        }
        if (O.Skipped && fC.Tracing()) {
          std::string text = O.Text.substr(0, 60);
          std::replace(text.begin(), text.end(), '\n', ' ');
          TraceNote(TraceKind::Action, nullptr, O.Line, O.Column, "skipped {" + text + "}");
        }
        break;
      default: Self().Element(O); break;
    }
  }

  void RunMatchSetOrDecide(const Block& B) {
    if (B.Inverted) {
      Self().MatchSet(B.InvertedSet);
      return;
    }
    if (B.Shortcut) {
      const Alternative& alt = *B.Alts.front();
      if (alt.Predicate >= 0) CheckPredicate(alt.Predicate);
      RunAlternative(alt);
      return;
    }
    if (Decide(B) == DecisionKind::ErrorClause) Self().RaiseNoViable(B.NoViable);
  }

  void RunBlock(const Block& B) {
    switch (B.Kind) {
      case BlockKind::ZeroOrMore: RunZeroOrMore(B); return;
      case BlockKind::OneOrMore: RunOneOrMore(B); return;
      default:
        for (const Op& op : B.Init) RunOp(op);
        RunMatchSetOrDecide(B);
        return;
    }
  }

  void NoProgress(const Block& B) {
    throw Abort{"the loop of rule \"" + B.RuleName + "\" at line " + std::to_string(B.Line) +
                (B.Column > 0 ? ":" + std::to_string(B.Column) : std::string()) + " goes round without consuming anything at " + Self().PositionText() +
                "; the compiled recognizer would not end"};
  }

  // A round of a loop that consumed nothing: with answers that never change the compiled loop
  // would go round for ever.
  void Stalled(const Block& B, bool Stall, unsigned& Stalls) {
    if (!Stall) {
      Stalls = 0;
    } else if (++Stalls > fC.O.StallLimit) {
      NoProgress(B);
    }
  }

  void LoopExit(const Block& B, const char* Why) {
    if (fC.Tracing()) {
      TraceEvent e;
      e.Kind = TraceKind::LoopExit;
      e.Rule = B.RuleName;
      e.Line = B.Line;
      e.Column = B.Column;
      e.Lookahead = Self().LookaheadText();
      e.Reason = Why;
      e.Guessing = fGuessing;
      fC.Event(std::move(e));
    }
  }

  void RunZeroOrMore(const Block& B) {
    unsigned stalls = 0;
    for (;;) {
      fC.Step();
      for (const Op& op : B.Init) RunOp(op);
      if (B.NonGreedyDepth != 0 && Holds(B.ExitTerms)) {
        LoopExit(B, "non-greedy exit");
        break;
      }
      const auto before = Self().Position();
      if (B.Inverted) {
        Self().MatchSet(B.InvertedSet);
        break;
      }
      if (!B.GeneratedIf && !B.ClosesGroup) break;
      if (Decide(B) == DecisionKind::ErrorClause) {
        LoopExit(B, "no alternative applies");
        break;
      }
      Stalled(B, Self().Position() == before, stalls);
    }
  }

  void RunOneOrMore(const Block& B) {
    int count = 0;
    unsigned stalls = 0;
    for (;;) {
      fC.Step();
      for (const Op& op : B.Init) RunOp(op);
      if (B.NonGreedyDepth != 0 && count >= 1 && Holds(B.ExitTerms)) {
        LoopExit(B, "non-greedy exit");
        break;
      }
      const auto before = Self().Position();
      if (B.Inverted) {
        Self().MatchSet(B.InvertedSet);
        break;
      }
      if (!B.GeneratedIf && !B.ClosesGroup) break;
      if (Decide(B) == DecisionKind::ErrorClause) {
        if (B.MayMatchNothing || count >= 1) {
          LoopExit(B, "no alternative applies");
          break;
        }
        if (fC.Tracing()) TraceDecision(B, 0, "no alternative applies");
        Self().RaiseNoViable(B.NoViable);
      }
      if (count >= 1) Stalled(B, Self().Position() == before, stalls);
      ++count;
    }
  }

  void RuleBody(const Rule& R) {
    const Block& body = *R.Body;
    for (const Op& op : body.Init) RunOp(op);
    if (R.SingleAlt) {
      Self().RuleAlternative(1);
      const Alternative& alt = *body.Alts.front();
      if (R.Predicate >= 0) CheckPredicate(R.Predicate);
      RunAlternative(alt);
      return;
    }
    if (body.Inverted) {
      Self().MatchSet(body.InvertedSet);
      return;
    }
    if (Decide(body) == DecisionKind::ErrorClause) Self().RaiseNoViable(body.NoViable);
  }

  const Program& fP;
  RunContext& fC;
  int fGuessing = 0;
  std::string fRuleName;
};

// ---------------------------------------------------------------------------------------------
// The lexer
// ---------------------------------------------------------------------------------------------

class LexerWalker : public Walker<LexerWalker> {
public:
  LexerWalker(const Program& P, RunContext& C, const std::string& Input)
      : Walker(P, C), fData(reinterpret_cast<const unsigned char*>(Input.data())), fSize(Input.size()) {}

  struct MarkValue {
    std::size_t Pos;
  };

  int LA(int I) const {
    const std::size_t p = fPos + static_cast<std::size_t>(I) - 1;
    const unsigned char c = p < fSize ? fData[p] : 0;
    return fP.CaseSensitive ? c : Fold(c);
  }
  bool AtEnd() const { return fPos >= fSize; }
  template <class Question>
  void Lookahead(Question& Q) {
    Q.LA = [this](int I) { return I >= 1 ? LA(I) : 0; };
  }
  std::size_t Position() const { return fPos; }
  std::string PositionText() const { return "line " + std::to_string(fLine) + ", column " + std::to_string(fColumn); }

  std::string LookaheadText() const {
    std::string text;
    for (int i = 1; i <= fP.K; ++i) {
      if (i > 1) text += ' ';
      const std::size_t p = fPos + static_cast<std::size_t>(i) - 1;
      text += p < fSize ? CharText(static_cast<char>(LA(i))) : std::string("EOF");
    }
    return text;
  }

  MarkValue Mark() {
    fMarks.emplace_back(fLine, fColumn);
    return {fPos};
  }
  void Rewind(MarkValue M) {
    fPos = M.Pos;
    if (!fMarks.empty()) {
      fLine = fMarks.back().first;
      fColumn = fMarks.back().second;
      fMarks.pop_back();
    }
  }
  void Commit() {
    if (!fMarks.empty()) fMarks.pop_back();
  }

  void RuleAlternative(int) {}

  void Advance(unsigned char C) {
    if (fGuessing == 0) {
      if (fSave) fText += static_cast<char>(C);
      ++fColumn;  // a tab counts as one column too (TkivLexer.tab)
    }
    ++fPos;
  }
  void Consume() { Advance(static_cast<unsigned char>(LA(1))); }

  [[noreturn]] void RaiseChar(int Found, int Expected, bool Negated) {
    MemberSet set;
    set.set(static_cast<std::size_t>(Expected & 255));
    RaiseCharSet(Found, set, Negated);
  }
  [[noreturn]] void RaiseCharSet(int Found, const MemberSet& Set, bool Negated) {
    const std::string what = CharSetText(Set);
    throw Failure{{"EkivMismatchedChar",
                   Negated ? "Not expecting [" + what + "] and found " + CharText(static_cast<char>(Found))
                           : "Expecting [" + what + "] but found " + CharText(static_cast<char>(Found)),
                   fC.O.InputName, fLine, fColumn}};
  }
  [[noreturn]] void RaiseNoViable(const MemberSet& Set) { RaiseCharSet(LA(1), Set, false); }
  [[noreturn]] void RaiseSemantic(const std::string& Text) {
    throw Failure{{"EkivSemantic", Text, fC.O.InputName, fLine, fColumn}};
  }

  void MatchSet(const MemberSet& Set) {
    const int found = LA(1);
    if (!Set.test(static_cast<std::size_t>(found))) RaiseCharSet(found, Set, false);
    Advance(static_cast<unsigned char>(found));
  }

  void Element(const Op& O) {
    if (O.Suppress) fSave = false;
    switch (O.Kind) {
      case OpKind::MatchChar: {
        const int expected = fP.CaseSensitive ? O.Value : Fold(static_cast<unsigned char>(O.Value));
        const int found = LA(1);
        if (expected != found) RaiseChar(found, O.Value, false);
        Advance(static_cast<unsigned char>(found));
        break;
      }
      case OpKind::MatchNotChar: {
        const int expected = fP.CaseSensitive ? O.Value : Fold(static_cast<unsigned char>(O.Value));
        const int found = LA(1);
        if (expected == found || found == 0) {
          if (found != 0 || AtEnd()) RaiseChar(found, O.Value, true);
        }
        Advance(static_cast<unsigned char>(found));
        break;
      }
      case OpKind::MatchCharSet: MatchSet(O.Members); break;
      case OpKind::MatchString: {
        for (std::size_t i = 0; i < O.Text.size(); ++i) {
          const unsigned char want = static_cast<unsigned char>(O.Text[i]);
          const int expected = fP.CaseSensitive ? want : Fold(want);
          const int c = LA(1);
          if (c != expected) {
            std::string matched = O.Text.substr(0, i);
            if (!fP.CaseSensitive)
              for (char& m : matched) m = static_cast<char>(Fold(static_cast<unsigned char>(m)));
            throw Failure{{"EkivMismatchedChar",
                           "Expecting " + QuotedText(O.Text) + " but found " + QuotedText(matched + static_cast<char>(c)),
                           fC.O.InputName, fLine, fColumn}};
          }
          Advance(static_cast<unsigned char>(c));
        }
        break;
      }
      case OpKind::RuleCall: {
        const std::size_t save = fText.size();
        CallRule(*O.Target, O.Create);
        if (O.RestoreText && fText.size() > save) fText.resize(save);
        break;
      }
      default: break;
    }
    if (O.Suppress) fSave = true;
  }

  void Action(const Op& O) {
    for (const ActionEffect& e : O.Effects) {
      if (e.What == ActionEffect::NewLine) {
        fColumn = 1;
        ++fLine;
      } else if (fType != nullptr) {
        *fType = e.Type;
      }
    }
  }

  // A rule method: _begin, _ttype, the body (in its handler), the literal test, the token.
  void CallRule(const Rule& R, bool Create) {
    if (!fC.StackLeft())
      throw Failure{{"EkivNestingTooDeep", "nesting too deep", fC.O.InputName, fLine, fColumn}};
    const std::size_t begin = fText.size();
    int type = R.TokenType;
    int* outerType = fType;
    std::string outerRule = std::move(fRuleName);
    fType = &type;
    fRuleName = R.Name;
    ++fC.fDepth;
    try {
      WithHandler(R.HandlerKind, R.HandlerReraises, R.HandlerText, R.Body->Line, R.Body->Column, [&] { RuleBody(R); });
    } catch (...) {
      --fC.fDepth;
      fType = outerType;
      fRuleName = std::move(outerRule);
      throw;
    }
    --fC.fDepth;
    fType = outerType;
    fRuleName = std::move(outerRule);
    if (R.TestLiterals) type = R.Protected ? fP.TestLiteral(fText.substr(begin), type) : fP.TestLiteral(fText, type);
    if (type != kTypeSkip && Create) {
      fReturn = MakeToken(type);
      fReturn.Text = fText.substr(std::min(begin, fText.size()));
      fHaveReturn = true;
    } else {
      fHaveReturn = false;
    }
  }

  Token MakeToken(int Type) {
    if (Type == kTypeEof && LA(1) == 0 && !AtEnd()) RaiseChar(0, 0, true);
    Token t;
    t.Type = Type;
    t.Line = fStartLine;
    t.Column = fStartColumn;
    t.Begin = fStartPos;
    t.End = std::min(fPos, fSize);
    return t;
  }

  void ResetText() {
    fText.clear();
    fSave = true;
    fStartLine = fLine;
    fStartColumn = fColumn;
    fStartPos = fPos;
  }

  // The generated NextToken: the token rules' decision, the end of input, filtering.
  Token NextToken() {
    if (fP.NextToken == nullptr) return MakeToken(kTypeEof);
    fRuleName = "NextToken";
    for (;;) {
      fC.Step();
      const std::size_t start = fPos;
      MarkValue mark{fPos};
      if (fP.FilterRule != nullptr) mark = Mark();
      ResetText();
      bool have = false;
      Token result;
      try {
        fHaveReturn = false;
        const DecisionKind kind = Decide(*fP.NextToken);
        if (kind == DecisionKind::ErrorClause) {
          if (LA(1) == 0) {
            result = MakeToken(kTypeEof);
            have = true;
          } else if (!fP.Filter) {
            RaiseCharSet(LA(1), fP.First, false);
          } else if (fP.FilterRule == nullptr) {
            Consume();
            continue;
          } else {
            Commit();
            try {
              CallRule(*fP.FilterRule, false);
            } catch (const Failure&) {
              Consume();
            }
            Progress(start);
            continue;
          }
        } else if (kind == DecisionKind::Ran) {
          have = fHaveReturn;
          if (have) result = fReturn;
        }
        if (fP.FilterRule != nullptr) Commit();
        if (!have) {
          Progress(start);
          continue;
        }
        if (fP.TestLiterals) result.Type = fP.TestLiteral(fText, result.Type);
        if (result.Type != kTypeEof && fPos == start) {
          if (fEmptyTokenAt == start) Progress(start);
          fEmptyTokenAt = start;
        } else if (fPos != start) {
          fStalls = 0;
        }
        return result;
      } catch (const Failure& f) {
        if (!fP.Filter) throw;
        if (fC.Tracing()) TraceNote(TraceKind::Handler, nullptr, fLine, fColumn, "filter drops: " + f.Error.Text);
        if (fP.FilterRule == nullptr) {
          Consume();
          continue;
        }
        Rewind(mark);
        ResetText();
        try {
          CallRule(*fP.FilterRule, false);
        } catch (const Failure&) {
          Consume();
        }
        Progress(start);
      }
    }
  }

private:
  // A token rule that matched nothing (a skipped token, or an empty token twice at one place):
  // with answers that never change the compiled lexer would do so for ever.
  void Progress(std::size_t Start) {
    if (fPos != Start) {
      fStalls = 0;
      return;
    }
    if (++fStalls <= fC.O.StallLimit) return;
    throw Abort{"the lexer makes no progress at " + PositionText() +
                ": a token rule matches nothing there, so the compiled lexer would not end"};
  }

  const unsigned char* fData;
  std::size_t fSize;
  std::size_t fPos = 0;
  int fLine = 1;
  int fColumn = 1;
  std::string fText;
  bool fSave = true;
  int fStartLine = 0;
  int fStartColumn = 0;
  std::size_t fStartPos = 0;
  std::vector<std::pair<int, int>> fMarks;
  int* fType = nullptr;
  Token fReturn;
  bool fHaveReturn = false;
  std::size_t fEmptyTokenAt = static_cast<std::size_t>(-1);
  unsigned fStalls = 0;

  friend class Walker<LexerWalker>;
};

// ---------------------------------------------------------------------------------------------
// The parser
// ---------------------------------------------------------------------------------------------

class TokenSource {
public:
  virtual ~TokenSource() = default;
  virtual Token Next() = 0;
};

class LexerSource : public TokenSource {
public:
  explicit LexerSource(LexerWalker& L) : fLexer(L) {}
  Token Next() override { return fLexer.NextToken(); }

private:
  LexerWalker& fLexer;
};

class ListSource : public TokenSource {
public:
  explicit ListSource(const std::vector<Token>& Tokens) : fTokens(Tokens) {}
  Token Next() override {
    if (fNext < fTokens.size()) return fTokens[fNext++];
    Token eof;
    eof.Type = kTypeEof;
    eof.Line = static_cast<int>(fTokens.size()) + 1;
    eof.Column = 1;
    return eof;
  }

private:
  const std::vector<Token>& fTokens;
  std::size_t fNext = 0;
};

class ParserWalker : public Walker<ParserWalker> {
public:
  ParserWalker(const Program& P, RunContext& C, TokenSource& Source, std::vector<Token>& Tokens)
      : Walker(P, C), fSource(Source), fTokens(Tokens) {}

  struct MarkValue {
    std::size_t Pos;
  };

  const Token& LT(int I) {
    const std::size_t want = fPos + static_cast<std::size_t>(I);
    while (fTokens.size() < want) fTokens.push_back(fSource.Next());
    return fTokens[want - 1];
  }
  int LA(int I) { return LT(I).Type; }
  template <class Question>
  void Lookahead(Question& Q) {
    Q.LA = [this](int I) { return I >= 1 ? LA(I) : 0; };
    Q.LTText = [this](int I) { return I >= 1 ? LT(I).Text : std::string(); };
  }
  std::size_t Position() const { return fPos; }
  std::string PositionText() const { return "token " + std::to_string(fPos + 1); }

  // Only what the buffer holds already: looking further would run the lexer early.
  std::string LookaheadText() const {
    std::string text;
    for (int i = 0; i < fP.K; ++i) {
      const std::size_t at = fPos + static_cast<std::size_t>(i);
      if (at >= fTokens.size()) break;
      if (!text.empty()) text += ' ';
      const Token& t = fTokens[at];
      text += fP.TypeName(t.Type);
      if (t.Type != kTypeEof) text += ' ' + QuotedText(t.Text);
    }
    return text;
  }

  MarkValue Mark() { return {fPos}; }
  void Rewind(MarkValue M) { fPos = M.Pos; }

  void Consume(bool Recovered = false) {
    if (fGuessing == 0 && fTreeOn && !fOpen.empty()) {
      TreeNode leaf;
      leaf.IsToken = true;
      leaf.TokenIndex = static_cast<int>(fPos);
      leaf.Recovered = Recovered;
      AddNode(std::move(leaf));
    }
    ++fPos;
  }

  [[noreturn]] void RaiseToken() {
    const Token& t = LT(1);
    throw Failure{{"EkivMismatchedToken",
                   t.Type == kTypeEof && t.Text.empty() ? std::string("Unexpected end of input") : "Unexpected token: " + t.Text,
                   fC.O.InputName, t.Line, t.Column}};
  }
  [[noreturn]] void RaiseNoViable(const MemberSet&) { RaiseToken(); }
  [[noreturn]] void RaiseSemantic(const std::string& Text) {
    const Token& t = LT(1);
    throw Failure{{"EkivSemantic", Text, fC.O.InputName, t.Line, t.Column}};
  }

  static bool InSet(int T, const MemberSet& Set) { return T >= 0 && T <= 255 && Set.test(static_cast<std::size_t>(T)); }

  void MatchSet(const MemberSet& Set) {
    if (!InSet(LA(1), Set)) RaiseToken();
    Consume();
  }

  void Element(const Op& O) {
    switch (O.Kind) {
      case OpKind::MatchToken:
        if (LA(1) != O.Value) RaiseToken();
        Consume();
        break;
      case OpKind::MatchNotToken:
        if (LA(1) == O.Value || LA(1) == kTypeEof) RaiseToken();
        Consume();
        break;
      case OpKind::MatchTokenSet: MatchSet(O.Members); break;
      case OpKind::RuleCall: CallRule(*O.Target); break;
      default: break;
    }
  }

  void Action(const Op&) {}

  void RuleAlternative(int Alt) {
    if (fGuessing == 0 && fTreeOn && !fOpen.empty()) (*fTree)[static_cast<std::size_t>(fOpen.back())].Alternative = Alt;
  }

  void CallRule(const Rule& R) {
    if (!fC.StackLeft()) {
      const Token& t = LT(1);
      throw Failure{{"EkivNestingTooDeep", "nesting too deep", fC.O.InputName, t.Line, t.Column}};
    }
    const bool node = fGuessing == 0 && fTreeOn;
    if (node) {
      TreeNode n;
      n.Rule = R.Name;
      const int index = AddNode(std::move(n));
      fOpen.push_back(index);
    }
    std::string outerRule = std::move(fRuleName);
    fRuleName = R.Name;
    ++fC.fDepth;
    try {
      if (R.DefaultHandler) {
        try {
          RuleBody(R);
        } catch (const Failure& f) {
          if (fGuessing > 0) throw;
          fC.R.Reported.push_back(f.Error);
          if (fC.Tracing())
            TraceNote(TraceKind::Handler, nullptr, R.Body->Line, R.Body->Column, "default handler reports: " + f.Error.Text);
          Consume(true);
          for (int t = LA(1); t != kTypeEof && !InSet(t, R.Follow); t = LA(1)) Consume(true);
        }
      } else {
        WithHandler(R.HandlerKind, R.HandlerReraises, R.HandlerText, R.Body->Line, R.Body->Column, [&] { RuleBody(R); });
      }
    } catch (...) {
      --fC.fDepth;
      fRuleName = std::move(outerRule);
      if (node) fOpen.pop_back();
      throw;
    }
    --fC.fDepth;
    fRuleName = std::move(outerRule);
    if (node) fOpen.pop_back();
  }

  void Start(const Rule& R, std::vector<TreeNode>* Tree) {
    fTree = Tree;
    fTreeOn = Tree != nullptr;
    CallRule(R);
  }

private:
  int AddNode(TreeNode&& N) {
    const int index = static_cast<int>(fTree->size());
    if (!fOpen.empty()) (*fTree)[static_cast<std::size_t>(fOpen.back())].Children.push_back(index);
    fTree->push_back(std::move(N));
    return index;
  }

  TokenSource& fSource;
  std::vector<Token>& fTokens;
  std::size_t fPos = 0;
  std::vector<TreeNode>* fTree = nullptr;
  bool fTreeOn = false;
  std::vector<int> fOpen;

  friend class Walker<ParserWalker>;
};

// Spans and positions of rule nodes from their token leaves; leaves of tokens never fetched go.
void FinishTree(RunResult& R) {
  std::vector<TreeNode>& tree = R.Tree;
  for (TreeNode& n : tree)
    n.Children.erase(std::remove_if(n.Children.begin(), n.Children.end(),
                                    [&](int c) {
                                      const TreeNode& child = tree[static_cast<std::size_t>(c)];
                                      return child.IsToken && static_cast<std::size_t>(child.TokenIndex) >= R.Tokens.size();
                                    }),
                     n.Children.end());
  for (std::size_t i = tree.size(); i-- > 0;) {
    TreeNode& n = tree[i];
    if (n.IsToken) {
      if (static_cast<std::size_t>(n.TokenIndex) >= R.Tokens.size()) continue;
      const Token& t = R.Tokens[static_cast<std::size_t>(n.TokenIndex)];
      n.Begin = t.Begin;
      n.End = t.End;
      n.Line = t.Line;
      n.Column = t.Column;
      continue;
    }
    bool first = true;
    for (int c : n.Children) {
      const TreeNode& child = tree[static_cast<std::size_t>(c)];
      if (child.Line == 0 && !child.IsToken && child.Children.empty()) continue;
      if (first) {
        n.Begin = child.Begin;
        n.Line = child.Line;
        n.Column = child.Column;
        first = false;
      }
      n.End = std::max(n.End, child.End);
    }
  }
}

void KeepTokensToEof(RunResult& R) {
  for (std::size_t i = 0; i < R.Tokens.size(); ++i)
    if (R.Tokens[i].Type == kTypeEof) {
      R.Tokens.resize(i + 1);
      return;
    }
}

const Rule* StartRule(const Program& P, const RunOptions& O, RunResult& R) {
  if (O.StartRule.empty()) {
    for (const auto& rule : P.Rules) return rule.get();
    R.End = RunEndKind::Aborted;
    R.AbortReason = "the grammar has no rules";
    return nullptr;
  }
  const Rule* rule = P.FindRule(O.StartRule);
  if (rule == nullptr) {
    R.End = RunEndKind::Aborted;
    R.AbortReason = "the grammar has no rule \"" + O.StartRule + "\"";
  }
  return rule;
}

template <class Body>
void Guarded(RunResult& R, Body&& body) {
  try {
    body();
  } catch (const Failure& f) {
    R.End = RunEndKind::Rejected;
    R.Error = f.Error;
  } catch (const Abort& a) {
    R.End = RunEndKind::Aborted;
    R.AbortReason = a.Reason;
  }
}

}  // namespace

RunResult Run(const Grammar* Lexer, const Grammar* Parser, const std::string& Input, const RunOptions& Options) {
  RunResult result;
  RunContext context(Options, result);
  result.LexerProgram = Lexer != nullptr ? &Lexer->Compiled() : nullptr;
  result.ParserProgram = Parser != nullptr ? &Parser->Compiled() : nullptr;
  if (Lexer == nullptr) {
    result.End = RunEndKind::Aborted;
    result.AbortReason = "a parser needs a lexer to read text";
    return result;
  }
  LexerWalker lexer(Lexer->Compiled(), context, Input);
  if (Parser == nullptr) {
    Guarded(result, [&] {
      for (;;) {
        result.Tokens.push_back(lexer.NextToken());
        if (result.Tokens.back().Type == kTypeEof) break;
      }
    });
    return result;
  }
  const Rule* start = StartRule(Parser->Compiled(), Options, result);
  if (start == nullptr) return result;
  LexerSource source(lexer);
  ParserWalker parser(Parser->Compiled(), context, source, result.Tokens);
  Guarded(result, [&] { parser.Start(*start, Options.Tree ? &result.Tree : nullptr); });
  KeepTokensToEof(result);
  FinishTree(result);
  return result;
}

RunResult RunTokens(const Grammar& Parser, const std::vector<Token>& Tokens, const RunOptions& Options) {
  RunResult result;
  RunContext context(Options, result);
  result.ParserProgram = &Parser.Compiled();
  const Rule* start = StartRule(Parser.Compiled(), Options, result);
  if (start == nullptr) return result;
  ListSource source(Tokens);
  ParserWalker parser(Parser.Compiled(), context, source, result.Tokens);
  Guarded(result, [&] { parser.Start(*start, Options.Tree ? &result.Tree : nullptr); });
  KeepTokensToEof(result);
  FinishTree(result);
  return result;
}

std::string TokenTypeName(const RunResult& Result, int Type) {
  if (Result.ParserProgram != nullptr) return Result.ParserProgram->TypeName(Type);
  if (Result.LexerProgram != nullptr) return Result.LexerProgram->TypeName(Type);
  return std::to_string(Type);
}

std::string ErrorLine(const RecognitionError& Error) {
  return Error.FileName + "(" + std::to_string(Error.Line) + "," + std::to_string(Error.Column) + "): " + Error.Text;
}

}  // namespace kiv::interp
