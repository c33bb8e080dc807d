// kivRandomGrammar.cpp - generation of random grammar pairs, their text, nullability and the
// cost of finishing a derivation.
//
// Note [what a generated grammar promises]: the grammars exercise every construct of the grammar
// language, but stay within what a grammar author can be expected to write for a recognizer
// that terminates:
//  - no left recursion: a rule may refer to itself or to an earlier rule only after an atom that
//    consumes input in the same alternative;
//  - every non-empty alternative of a (...)* or (...)+ loop, every alternative of a token rule and
//    of the filter rule consume input (a loop body that can match nothing loops for ever, and so
//    does NextToken on a token that can be empty; kiv warns about both);
//  - EOF is matched only at the end of the parser's start rule;
//  - exception handlers that swallow an error count it (KrSwallow), and give up after a budget,
//    because a handler that swallows an error raised before anything was consumed, inside a
//    loop, would otherwise repeat for ever.
// Everything else is random: options, predicates, labels, "!", arguments, returns, handlers,
// inverted sets, wildcards, ranges, tokens sections, k from 1 to 3.
#include "tests/random/kivRandomGrammar.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <set>

namespace kiv::rnd {

std::uint64_t Random::Next() {
  std::uint64_t z = (fState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Random::Below(int Bound) { return Bound <= 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(Bound)); }

std::string Lower(std::string Text) {
  for (char& c : Text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return Text;
}

std::string PascalName(const std::string& Name) {
  static const std::set<std::string> reserved = {
      "and",   "array",  "as",      "asm",     "begin",  "case",    "class",  "const", "constructor", "destructor",
      "div",   "do",     "downto",  "else",    "end",    "except",  "exports", "file", "finalization", "finally",
      "for",   "function", "goto",  "if",      "implementation", "in", "inherited", "initialization", "interface",
      "is",    "label",  "library", "mod",     "nil",    "not",     "object", "of",    "or",     "packed",
      "procedure", "program", "property", "raise", "record", "repeat", "set", "shl", "shr", "string", "then",
      "to",    "try",    "type",    "unit",    "until",  "uses",    "var",    "while", "with",   "xor"};
  return reserved.count(Lower(Name)) != 0 ? "&" + Name : Name;
}

bool ReadVocabulary(const std::string& Path, std::vector<VocabularyToken>& Tokens) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) return false;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (++number <= 2) continue;  // the header comment and the grammar name
    const std::size_t eq = line.rfind('=');
    if (eq == std::string::npos || eq + 1 >= line.size()) continue;
    VocabularyToken t;
    try {
      t.Type = std::stoi(line.substr(eq + 1));
    } catch (...) {
      continue;
    }
    const std::string rest = line.substr(0, eq);
    if (rest.rfind("TT_", 0) == 0) {
      std::size_t end = 3;
      while (end < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[end])) || rest[end] == '_')) ++end;
      t.Name = rest.substr(3, end - 3);
    } else {
      const std::size_t first = rest.find('=');
      if (first == std::string::npos) continue;
      std::string literal = rest.substr(first + 1);
      if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') continue;
      t.Literal = literal.substr(1, literal.size() - 2);
    }
    Tokens.push_back(t);
  }
  return true;
}

const Rule* Grammar::FindRule(const std::string& Name) const {
  for (const Rule& r : Rules)
    if (Lower(r.Name) == Lower(Name)) return &r;
  return nullptr;
}

std::string LexerUnitName(std::uint64_t Seed) { return "R" + std::to_string(Seed) + "Lex"; }
std::string ParserUnitName(std::uint64_t Seed) { return "R" + std::to_string(Seed) + "Par"; }
std::string VocabularyName(std::uint64_t Seed) { return "R" + std::to_string(Seed) + "Voc"; }

// ---------------------------------------------------------------------------------------------
// Nullability and derivation cost
// ---------------------------------------------------------------------------------------------

Nullability::Nullability(const Grammar& G) : fGrammar(G) {
  for (const Rule& r : G.Rules) fRules[Lower(r.Name)] = false;
  bool changed = true;
  while (changed) {
    changed = false;
    for (const Rule& r : G.Rules) {
      bool nullable = false;
      for (const Alt& a : r.Alts) nullable = nullable || AltNullable(a);
      if (nullable && !fRules[Lower(r.Name)]) {
        fRules[Lower(r.Name)] = true;
        changed = true;
      }
    }
  }
}

bool Nullability::RuleNullable(const std::string& Name) const {
  const auto it = fRules.find(Lower(Name));
  return it != fRules.end() && it->second;
}

bool Nullability::AltNullable(const Alt& A) const {
  for (const Elem& e : A.Elems)
    if (!ElemNullable(e)) return false;
  return true;
}

bool Nullability::ElemNullable(const Elem& E) const {
  switch (E.Kind) {
    case ElemKind::Action:
    case ElemKind::SemPred:
      return true;
    case ElemKind::String:
      return fGrammar.Lexer && E.Text.empty();
    case ElemKind::RuleRef:
      // A token reference in a lexer is a rule reference too.
      return RuleNullable(E.Text);
    case ElemKind::TokenRef:
      return fGrammar.Lexer && RuleNullable(E.Text);
    case ElemKind::Block:
      if (E.Suffix == SuffixKind::SynPred || E.Suffix == SuffixKind::Optional || E.Suffix == SuffixKind::ZeroOrMore) return true;
      if (E.Inverted) return false;
      for (const Alt& a : E.Alts)
        if (AltNullable(a)) return true;
      return E.Alts.empty();
    default:
      return false;
  }
}

DerivationCost::DerivationCost(const Grammar& G) : fGrammar(G) {
  for (const Rule& r : G.Rules) fRules[Lower(r.Name)] = Infinite;
  bool changed = true;
  while (changed) {
    changed = false;
    for (const Rule& r : G.Rules) {
      int best = Infinite;
      for (const Alt& a : r.Alts) best = std::min(best, AltCost(a));
      int& cost = fRules[Lower(r.Name)];
      if (best < cost) {
        cost = best;
        changed = true;
      }
    }
  }
}

int DerivationCost::RuleCost(const std::string& Name) const {
  const auto it = fRules.find(Lower(Name));
  return it == fRules.end() ? 0 : it->second;
}

int DerivationCost::AltCost(const Alt& A) const {
  int cost = 0;
  for (const Elem& e : A.Elems) cost = std::min(Infinite, cost + ElemCost(e));
  return cost;
}

int DerivationCost::ElemCost(const Elem& E) const {
  switch (E.Kind) {
    case ElemKind::RuleRef:
      return std::min(Infinite, 1 + RuleCost(E.Text));
    case ElemKind::TokenRef:
      return fGrammar.Lexer ? std::min(Infinite, 1 + RuleCost(E.Text)) : 0;
    case ElemKind::Block: {
      if (E.Suffix == SuffixKind::SynPred || E.Suffix == SuffixKind::Optional || E.Suffix == SuffixKind::ZeroOrMore || E.Inverted)
        return 0;
      int best = Infinite;
      for (const Alt& a : E.Alts) best = std::min(best, AltCost(a));
      return best;
    }
    default:
      return 0;
  }
}

namespace {

// ---------------------------------------------------------------------------------------------
// Generation
// ---------------------------------------------------------------------------------------------

std::size_t AltSize(const Alt& A);

// Elements, nested ones included.
std::size_t ElemSize(const Elem& E) {
  std::size_t size = 1;
  for (const Alt& a : E.Alts) size += AltSize(a);
  return size;
}

std::size_t AltSize(const Alt& A) {
  std::size_t size = 0;
  for (const Elem& e : A.Elems) size += ElemSize(e);
  return size;
}

// Pascal reserved words that are not keywords of the grammar language: as rule names and labels
// the generator must escape them. Rule names and labels come from different lists, so that no label
// hides a rule.
const std::vector<std::string> kReservedRuleNames = {"begin", "end",    "set",   "file",   "array",  "object",
                                                     "record", "repeat", "until", "program", "string"};
const std::vector<std::string> kReservedLabels = {"label", "with", "do", "to", "downto", "goto", "packed"};
const std::vector<std::string> kParserRuleNames = {"alpha", "beta",  "gamma", "delta", "item",  "list",
                                                   "expr",  "term",  "entry", "block", "chain", "part",
                                                   "piece", "group", "unitx", "tail",  "head",  "body"};
const std::vector<std::string> kTokenRuleNames = {"ID",   "NUM", "OP",   "PUNCT", "WORD", "SIGN", "Tok",
                                                  "Mix",  "STR", "CHR",  "SYM",   "BEGIN", "END", "ARROW",
                                                  "PAIR", "RUN", "SEQ",  "ALT",   "ANY",  "NOTX", "KEY"};
const std::vector<std::string> kProtectedNames = {"DIGIT", "LETTER", "FRAG", "HELP", "PIECE", "Inner", "QUOTE", "ESC"};
const std::vector<std::string> kKeywords = {"if",  "then", "else", "while", "do",  "begin", "end", "var",
                                            "let", "fun",  "ret",  "and",   "or",  "not",   "nil", "abc"};

// Characters a lexer is made of. A small alphabet per grammar makes its tokens overlap.
const std::string kCharPool =
    "abcdexyzABC0129+-*/<>=;:,.()[]#@$%&!?^_|~`'\"\\ \t\n";

struct Context {
  bool Consumed = false;  // an atom that consumes input came before in this alternative
  int Depth = 0;          // block nesting
  bool InPredicate = false;
};

class Generator {
 public:
  Generator(std::uint64_t Seed, bool Lexer) : fRandom(Seed ^ (Lexer ? 0x51ED27ull : 0xA11CE5ull)) {
    // One grammar in five nests deeper and chooses among more alternatives.
    fHeavy = fRandom.Chance(20);
  }

  Grammar Lexer(std::uint64_t Seed);
  Grammar Parser(std::uint64_t Seed, const Grammar& LexerGrammar, const std::vector<VocabularyToken>& Vocabulary);

 private:
  // Elements
  Alt GenAlt(Context Ctx, int MaxElems);
  void GenRuleBody(Rule& R, int SingleAltPercent);
  Elem GenElem(Context& Ctx);
  Elem GenAtom(Context& Ctx);
  Elem GenBlock(Context& Ctx, bool Inverted);
  Elem GenRuleRef(Context& Ctx);
  Elem GenAction();
  Elem GenSemPred();
  std::string NewLabel(bool Token);
  void MaybeLabel(Elem& E, int Percent);
  void MaybeBang(Elem& E, int Percent);
  int RandomChar();
  std::vector<std::pair<std::string, std::string>> SubruleOptions(SuffixKind S);
  std::string HandlerText();
  void MaybeHandler(std::string& Kind, std::string& Text, int Percent);

  // Repairs (note [what a generated grammar promises])
  void MakeLoopsProgress(Grammar& G);
  void MakeLoopsProgress(std::vector<Alt>& Alts, const Nullability& N, bool InLoop);
  void PrependAtom(Alt& A);
  void EnsureFinite(Grammar& G);

  Random fRandom;
  bool fHeavy = false;
  Grammar* fGrammar = nullptr;
  int fRuleIndex = 0;  // index of the rule being generated
  std::vector<std::string> fLabels;       // labels of the rule being generated
  std::vector<std::string> fIntLocals;    // integer locals of the rule being generated
  std::string fParam;                     // parameter name of the rule being generated
  std::string fAlphabet;
  std::string fConstName;  // the constant of the const section
  // Parser
  std::vector<std::string> fTokenNames;   // token names the parser may reference
  std::vector<std::string> fLiterals;     // literal texts the parser may reference
  std::vector<std::pair<std::string, int>> fTyped;  // token names with their types
};

int Generator::RandomChar() {
  if (fRandom.Chance(4)) return fRandom.Between(1, 255);
  return static_cast<unsigned char>(fAlphabet[static_cast<std::size_t>(fRandom.Below(static_cast<int>(fAlphabet.size())))]);
}

std::string Generator::NewLabel(bool Token) {
  // Labels are reused now and then: a label used twice in a rule is allowed. In a lexer a label of
  // a rule reference holds a token and any other label a character, and one label cannot be both:
  // the two kinds get names of their own.
  const std::string prefix = fGrammar->Lexer && Token ? "lt" : "lb";
  std::vector<std::string> same;
  for (const std::string& l : fLabels)
    if (l.rfind(prefix, 0) == 0 || !fGrammar->Lexer) same.push_back(l);
  if (!same.empty() && fRandom.Chance(10)) return fRandom.Pick(same);
  std::string label;
  if (fRandom.Below(300) == 0) {
    // Names the generated code uses: kiv rejects them.
    label = fRandom.Pick(std::vector<std::string>{"result", "match", "LA", fGrammar->Lexer ? "pCreate" : "LT"});
  } else if (fRandom.Chance(10) && !(fGrammar->Lexer && Token)) {
    label = fRandom.Pick(kReservedLabels);
  } else {
    label = prefix + std::to_string(fLabels.size());
  }
  if (std::find(fLabels.begin(), fLabels.end(), label) == fLabels.end()) fLabels.push_back(label);
  return label;
}

void Generator::MaybeLabel(Elem& E, int Percent) {
  const bool token = E.Kind == ElemKind::RuleRef || (fGrammar->Lexer && E.Kind == ElemKind::TokenRef);
  if (fRandom.Chance(Percent)) E.Label = NewLabel(token);
}

void Generator::MaybeBang(Elem& E, int Percent) { E.Bang = fRandom.Chance(Percent); }

Elem Generator::GenAction() {
  Elem e;
  e.Kind = ElemKind::Action;
  const bool lexer = fGrammar->Lexer;
  switch (fRandom.Below(lexer ? 8 : 6)) {
    case 0:
      e.Text = "{ KrNote(1); }";
      break;
    case 1:
      e.Text = "{\n   KrNote(2);\n   // a comment line\n   if KrTick(2) then\n      KrNote(3);\n}";
      break;
    case 2:
      e.Text = "{ KrNote(Length('it''s')); }";
      break;
    case 3:
      // A label that is a reserved word is written with "&" by the author of the action.
      if (!fLabels.empty())
        e.Text = "{ KrNote(" + PascalName(fRandom.Pick(fLabels)) + "); }";
      else
        e.Text = "{ KrNote(4); }";
      break;
    case 4:
      if (!fIntLocals.empty())
        e.Text = "{ KrNote(" + fRandom.Pick(fIntLocals) + "); }";
      else if (!fParam.empty())
        e.Text = "{ KrNote(" + fParam + "); }";
      else
        e.Text = "{ KrNote(5); }";
      break;
    case 5:
      e.Text = lexer ? "{ if LA(1) = 'q' then KrNote(6); }" : "{ if LA(1) = TT_EOF then KrNote(6); }";
      break;
    case 6:
      e.Text = fGrammar->ConstSection.empty() || fRandom.Chance(50) ? "{ newLine; }"
                                                                    : "{ KrNote(" + fConstName + "); }";
      break;
    default:
      e.Text = "{ _ttype := TT_SKIP; }";
      break;
  }
  return e;
}

Elem Generator::GenSemPred() {
  Elem e;
  e.Kind = ElemKind::SemPred;
  switch (fRandom.Below(5)) {
    case 4:
      // Depends on the input alone: false for good on some inputs.
      e.Text = "{ LA(2) <> LA(1) }";
      break;
    case 0:
      e.Text = "{ KrTick(3) }";
      break;
    case 1:
      e.Text = "{ KrTick(2) }";
      break;
    case 2:
      e.Text = fGrammar->Lexer ? "{ LA(1) <> 'q' }" : "{ (LT(1) = nil) or (LT(1).TokenText <> 'it''s') }";
      break;
    default:
      e.Text = "{ not KrTick(5) }";
      break;
  }
  return e;
}

std::string Generator::HandlerText() {
  switch (fRandom.Below(3)) {
    case 0:
      return "{ if KrSwallow(e) then raise; }";
    case 1:
      return "{\n   KrNote(7);\n   if KrSwallow(e) then\n      raise;\n}";
    default:
      return "{ KrNote(8); raise; }";
  }
}

void Generator::MaybeHandler(std::string& Kind, std::string& Text, int Percent) {
  if (!fRandom.Chance(Percent)) return;
  if (fRandom.Chance(70)) {
    Kind = "except";
    Text = HandlerText();
  } else {
    Kind = "finally";
    Text = "{ KrNote(9); }";
  }
}

std::vector<std::pair<std::string, std::string>> Generator::SubruleOptions(SuffixKind S) {
  std::vector<std::pair<std::string, std::string>> options;
  if (!fRandom.Chance(20)) return options;
  const bool loop = S == SuffixKind::ZeroOrMore || S == SuffixKind::OneOrMore;
  if (fRandom.Chance(loop ? 60 : 15)) options.emplace_back("greedy", fRandom.Chance(50) ? "true" : "false");
  if (fRandom.Chance(30)) options.emplace_back("warnWhenFollowAmbig", fRandom.Chance(50) ? "true" : "false");
  if (fRandom.Chance(30)) options.emplace_back("generateAmbigWarnings", fRandom.Chance(50) ? "true" : "false");
  return options;
}

Elem Generator::GenAtom(Context& Ctx) {
  Elem e;
  const bool lexer = fGrammar->Lexer;
  if (lexer) {
    switch (fRandom.Below(10)) {
      case 0:
      case 1:
      case 2:
        e.Kind = ElemKind::Char;
        e.First = RandomChar();
        MaybeLabel(e, 12);
        break;
      case 3:
      case 4: {
        e.Kind = ElemKind::CharRange;
        int a = RandomChar();
        int b = fRandom.Chance(50) ? std::min(255, a + fRandom.Between(0, 10)) : RandomChar();
        if (b < a) std::swap(a, b);
        e.First = a;
        e.Last = b;
        MaybeLabel(e, 10);
        break;
      }
      case 5:
      case 6: {
        e.Kind = ElemKind::String;
        const int n = fRandom.Between(1, 3);
        for (int i = 0; i < n; ++i) e.Text += static_cast<char>(RandomChar());
        MaybeLabel(e, 8);
        break;
      }
      case 7:
        e.Kind = ElemKind::Wildcard;
        MaybeLabel(e, 8);
        break;
      default:
        e.Kind = ElemKind::NotChar;
        e.First = RandomChar();
        MaybeLabel(e, 8);
        break;
    }
    MaybeBang(e, 10);
  } else {
    const int roll = fRandom.Below(20);
    if (roll < 12 || fTyped.size() < 2) {
      e.Kind = ElemKind::TokenRef;
      e.Text = fRandom.Pick(fTokenNames);
    } else if (roll < 14 && !fLiterals.empty()) {
      e.Kind = ElemKind::String;
      e.Text = fRandom.Pick(fLiterals);
    } else if (roll < 16) {
      e.Kind = ElemKind::TokenRange;
      auto a = fRandom.Pick(fTyped);
      auto b = fRandom.Pick(fTyped);
      if (b.second < a.second) std::swap(a, b);
      if (a.second == b.second) {
        e.Kind = ElemKind::TokenRef;
        e.Text = a.first;
      } else {
        e.Text = a.first;
        e.Text2 = b.first;
      }
    } else if (roll < 18) {
      e.Kind = ElemKind::NotToken;
      e.Text = fRandom.Pick(fTokenNames);
    } else {
      e.Kind = ElemKind::Wildcard;
    }
    MaybeLabel(e, 15);
    MaybeBang(e, 8);
  }
  Ctx.Consumed = true;
  return e;
}

Elem Generator::GenRuleRef(Context& Ctx) {
  Elem e;
  const std::vector<Rule>& rules = fGrammar->Rules;
  // Rules after this one may be referenced anywhere; this rule and the ones before it only after
  // an atom that consumed input (no left recursion).
  std::vector<std::size_t> candidates;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (static_cast<int>(i) <= fRuleIndex && !Ctx.Consumed) continue;
    if (fGrammar->Lexer && rules[i].Name == "KRFILTER") continue;
    if (!fGrammar->Lexer && i == 0) continue;  // the start rule ends with EOF
    candidates.push_back(i);
  }
  if (candidates.empty()) return GenAtom(Ctx);
  const Rule& target = rules[fRandom.Pick(candidates)];
  e.Kind = fGrammar->Lexer ? ElemKind::TokenRef : ElemKind::RuleRef;
  e.Text = target.Name;
  // A token rule of a lexer has no parameters and no result (NextToken calls it). Now and then a
  // call gets wrong what the rule takes: kiv must warn and leave it out, or reject the grammar.
  const bool takesArgs = !target.Params.empty() && !(fGrammar->Lexer && target.IsToken());
  const bool returns = !target.Returns.empty() && !(fGrammar->Lexer && target.IsToken());
  // Arguments left out make kiv reject the grammar, so that happens rarely; arguments given to a
  // rule without parameters only make it warn.
  if (takesArgs ? fRandom.Below(400) != 0 : fRandom.Chance(2)) e.Args = std::to_string(fRandom.Between(0, 9));
  if (!fIntLocals.empty() && (returns ? fRandom.Chance(60) : fRandom.Chance(2))) e.Assign = fRandom.Pick(fIntLocals);
  MaybeLabel(e, fGrammar->Lexer ? 15 : 8);
  // An assignment to a token rule takes no "!".
  MaybeBang(e, 10);
  if (fGrammar->Lexer && !e.Assign.empty()) e.Bang = false;
  return e;
}

Elem Generator::GenBlock(Context& Ctx, bool Inverted) {
  Elem e;
  e.Kind = ElemKind::Block;
  Context inner = Ctx;
  inner.Depth++;
  if (Inverted) {
    // ~( a | b..c | "d" ): every alternative one atom.
    e.Inverted = true;
    const int n = fRandom.Between(1, 4);
    for (int i = 0; i < n; ++i) {
      Alt a;
      Elem atom;
      if (fGrammar->Lexer) {
        const int roll = fRandom.Below(6);
        if (roll < 3) {
          atom.Kind = ElemKind::Char;
          atom.First = RandomChar();
        } else if (roll < 5) {
          atom.Kind = ElemKind::CharRange;
          atom.First = RandomChar();
          atom.Last = std::min(255, atom.First + fRandom.Between(0, 6));
        } else {
          atom.Kind = ElemKind::String;
          atom.Text = std::string(1, static_cast<char>(RandomChar()));
        }
      } else {
        const int roll = fRandom.Below(5);
        if (roll < 4 || fTyped.size() < 2) {
          atom.Kind = ElemKind::TokenRef;
          atom.Text = fRandom.Pick(fTokenNames);
        } else {
          auto x = fRandom.Pick(fTyped);
          auto y = fRandom.Pick(fTyped);
          if (y.second < x.second) std::swap(x, y);
          if (x.second == y.second) {
            atom.Kind = ElemKind::TokenRef;
            atom.Text = x.first;
          } else {
            atom.Kind = ElemKind::TokenRange;
            atom.Text = x.first;
            atom.Text2 = y.first;
          }
        }
      }
      a.Elems.push_back(atom);
      e.Alts.push_back(a);
    }
    MaybeLabel(e, 15);
    Ctx.Consumed = true;
    return e;
  }

  const int roll = fRandom.Below(10);
  if (roll < 3)
    e.Suffix = SuffixKind::Optional;
  else if (roll < 5)
    e.Suffix = SuffixKind::ZeroOrMore;
  else if (roll < 7)
    e.Suffix = SuffixKind::OneOrMore;
  else
    e.Suffix = SuffixKind::None;
  const int n = fRandom.Chance(30) ? 1 : fRandom.Between(2, fHeavy ? 6 : 4);
  for (int i = 0; i < n; ++i) {
    if (i > 0 && fRandom.Chance(8)) {
      e.Alts.emplace_back();  // an empty alternative
      continue;
    }
    Alt a = GenAlt(inner, fHeavy ? 5 : 3);
    // A syntactic predicate in front of an alternative of a block with a choice, now and then
    // inside another predicate's block too.
    if (n > 1 && fRandom.Chance(Ctx.InPredicate ? 8 : 15)) {
      Elem pred;
      pred.Kind = ElemKind::Block;
      pred.Suffix = SuffixKind::SynPred;
      Alt head;
      // Usually a prefix of the alternative it guards, sometimes something else.
      if (fRandom.Chance(70) && !a.Elems.empty()) {
        const std::size_t m = static_cast<std::size_t>(fRandom.Between(1, static_cast<int>(a.Elems.size())));
        head.Elems.assign(a.Elems.begin(), a.Elems.begin() + static_cast<std::ptrdiff_t>(m));
        for (Elem& x : head.Elems) x.Label.clear();
      } else {
        Context p = inner;
        p.InPredicate = true;
        head = GenAlt(p, 2);
      }
      pred.Alts.push_back(head);
      if (fRandom.Chance(20)) {
        Context p = inner;
        p.InPredicate = true;
        pred.Alts.push_back(GenAlt(p, 2));
      }
      a.Elems.insert(a.Elems.begin(), pred);
    }
    e.Alts.push_back(a);
  }
  e.Options = SubruleOptions(e.Suffix);
  if (fRandom.Chance(8)) e.Init = "{ KrNote(10); }";
  // A label on a (...)+ names its counter.
  MaybeLabel(e, e.Suffix == SuffixKind::OneOrMore ? 25 : 5);
  // The block consumes when it must match once and its first alternatives all do; the simple
  // view: only atoms count (see GenAlt).
  return e;
}

Elem Generator::GenElem(Context& Ctx) {
  const int roll = fRandom.Below(100);
  const bool deep = Ctx.Depth >= (fHeavy ? 5 : 3);
  if (roll < 45 || (deep && roll < 75)) return GenAtom(Ctx);
  if (roll < 62) return GenRuleRef(Ctx);
  if (roll < 77 && !deep) return GenBlock(Ctx, false);
  if (roll < 82) return GenBlock(Ctx, true);
  if (roll < 93) return GenAction();
  return GenSemPred();
}

Alt Generator::GenAlt(Context Ctx, int MaxElems) {
  Alt a;
  const int n = fRandom.Between(1, MaxElems);
  if (fRandom.Chance(10)) a.Elems.push_back(GenSemPred());
  for (int i = 0; i < n; ++i) a.Elems.push_back(GenElem(Ctx));
  if (!Ctx.InPredicate) MaybeHandler(a.HandlerKind, a.HandlerText, Ctx.Depth > 0 ? 4 : 6);
  return a;
}

// Free Pascal refuses a method with more than a thousand or so calls ("Procedure too complex, it
// requires too many registers"), so a rule stays well below: a body that grew too big is made
// again without the heavy profile.
void Generator::GenRuleBody(Rule& R, int SingleAltPercent) {
  const bool heavy = fHeavy;
  const std::vector<std::string> labels = fLabels;
  for (int attempt = 0;; ++attempt) {
    R.Alts.clear();
    fLabels = labels;  // actions may use only the labels of the body that stays
    const int alts = fRandom.Chance(SingleAltPercent) ? 1 : fRandom.Between(2, 4);
    for (int a = 0; a < alts; ++a) {
      Context ctx;
      R.Alts.push_back(GenAlt(ctx, 4));
    }
    std::size_t size = 0;
    for (const Alt& a : R.Alts) size += AltSize(a);
    if (size <= 150 || attempt >= 20) break;
    fHeavy = false;
  }
  fHeavy = heavy;
}

// ---------------------------------------------------------------------------------------------
// Repairs
// ---------------------------------------------------------------------------------------------

void Generator::PrependAtom(Alt& A) {
  Context ctx;
  Elem atom = GenAtom(ctx);
  atom.Label.clear();
  // After a syntactic predicate, which stays in front.
  std::size_t at = 0;
  while (at < A.Elems.size() && A.Elems[at].Kind == ElemKind::Block && A.Elems[at].Suffix == SuffixKind::SynPred) ++at;
  A.Elems.insert(A.Elems.begin() + static_cast<std::ptrdiff_t>(at), atom);
}

void Generator::MakeLoopsProgress(std::vector<Alt>& Alts, const Nullability& N, bool InLoop) {
  for (Alt& a : Alts) {
    if (InLoop && !a.Elems.empty() && N.AltNullable(a)) PrependAtom(a);
    for (Elem& e : a.Elems) {
      if (e.Kind != ElemKind::Block || e.Inverted) continue;
      const bool loop = e.Suffix == SuffixKind::ZeroOrMore || e.Suffix == SuffixKind::OneOrMore;
      MakeLoopsProgress(e.Alts, N, loop);
    }
  }
}

void Generator::MakeLoopsProgress(Grammar& G) {
  // Repairs make rules less nullable, never more, so a few rounds settle.
  for (int round = 0; round < 8; ++round) {
    const Nullability n(G);
    for (Rule& r : G.Rules) {
      fGrammar = &G;
      const bool mustConsume = G.Lexer && (r.IsToken() || r.Name == "KRFILTER");
      MakeLoopsProgress(r.Alts, n, mustConsume);
    }
  }
}

void Generator::EnsureFinite(Grammar& G) {
  // A rule whose every alternative recurses has no finite derivation: give it one more.
  const DerivationCost cost(G);
  for (Rule& r : G.Rules) {
    if (cost.RuleCost(r.Name) < DerivationCost::Infinite) continue;
    Alt a;
    Context ctx;
    a.Elems.push_back(GenAtom(ctx));
    a.Elems.back().Label.clear();
    r.Alts.push_back(a);
  }
}

// ---------------------------------------------------------------------------------------------
// Members the actions use
// ---------------------------------------------------------------------------------------------

std::string MemberDecl(bool Lexer) {
  std::string text =
      "{\n"
      "   public\n"
      "      // Set by the driver: predicates and handlers depend on it.\n"
      "      KrSeed: Integer;\n"
      "      KrState: Integer;\n"
      "      KrNotes: Integer;\n"
      "      KrSwallowed: Integer;\n"
      "      KrBudgetHit: Boolean;\n"
      "      KrFault: string;\n"
      "      function  KrTick(N: Integer): Boolean;\n"
      "      procedure KrNote(N: Integer); overload;\n"
      "      procedure KrNote(C: AnsiChar); overload;\n"
      "      procedure KrNote(T: IkivToken); overload;\n"
      "      function  KrSwallow(E: Exception): Boolean;\n"
      "      procedure reportError(E: Exception); override;\n";
  (void)Lexer;
  return text + "}";
}

std::string MemberDef(const std::string& ClassName) {
  const std::string c = ClassName + ".";
  return "{\n"
         "function " + c + "KrTick(N: Integer): Boolean;\n"
         "begin\n"
         "   KrState := (KrState * 37 + 11 + KrSeed mod 1000) mod 1009;\n"
         "   Result := (KrState mod N) <> 0;\n"
         "end;\n"
         "\n"
         "procedure " + c + "KrNote(N: Integer);\n"
         "begin\n"
         "   KrNotes := (KrNotes + (N and 1023)) mod 100000;\n"
         "end;\n"
         "\n"
         "procedure " + c + "KrNote(C: AnsiChar);\n"
         "begin\n"
         "   KrNotes := (KrNotes + Ord(C)) mod 100000;\n"
         "end;\n"
         "\n"
         "procedure " + c + "KrNote(T: IkivToken);\n"
         "begin\n"
         "   if T <> nil then\n"
         "      KrNotes := (KrNotes + Length(T.TokenText) + (T.TokenType and 255)) mod 100000;\n"
         "end;\n"
         "\n"
         "// An error that is not a recognition error is a fault of the recognizer: keep it for the\n"
         "// driver and let it pass. A recognition error is swallowed until the budget is used up.\n"
         "function " + c + "KrSwallow(E: Exception): Boolean;\n"
         "begin\n"
         "   if not (E is EkivException) then\n"
         "   begin\n"
         "      if KrFault = '' then\n"
         "         KrFault := E.ClassName + ': ' + E.Message;\n"
         "      Result := True;\n"
         "      exit;\n"
         "   end;\n"
         "   Inc(KrSwallowed);\n"
         "   Result := KrSwallowed > 200;\n"
         "   if Result then\n"
         "      KrBudgetHit := True;\n"
         "end;\n"
         "\n"
         "procedure " + c + "reportError(E: Exception);\n"
         "begin\n"
         "   if KrSwallow(E) then\n"
         "      raise EkivSemantic.Create('error budget', '', 0, 0);\n"
         "end;\n"
         "}";
}

// ---------------------------------------------------------------------------------------------
// Lexer grammar
// ---------------------------------------------------------------------------------------------

Rule WhitespaceRule(Random& R) {
  Rule r;
  r.Name = "WS";
  r.Access = R.Chance(30) ? "public" : "";
  Alt body;
  Elem loop;
  loop.Kind = ElemKind::Block;
  loop.Suffix = SuffixKind::OneOrMore;
  auto charAlt = [](int c, const std::string& action) {
    Alt a;
    Elem e;
    e.Kind = ElemKind::Char;
    e.First = c;
    a.Elems.push_back(e);
    if (!action.empty()) {
      Elem act;
      act.Kind = ElemKind::Action;
      act.Text = action;
      a.Elems.push_back(act);
    }
    return a;
  };
  loop.Alts.push_back(charAlt(' ', ""));
  loop.Alts.push_back(charAlt('\t', ""));
  // '\r' ( options { greedy = true; } : '\n' )? { newLine; }
  Alt cr = charAlt('\r', "");
  Elem lf;
  lf.Kind = ElemKind::Block;
  lf.Suffix = SuffixKind::Optional;
  lf.Options.emplace_back("greedy", "true");
  lf.Alts.push_back(charAlt('\n', ""));
  cr.Elems.push_back(lf);
  Elem nl;
  nl.Kind = ElemKind::Action;
  nl.Text = "{ newLine; }";
  cr.Elems.push_back(nl);
  loop.Alts.push_back(cr);
  loop.Alts.push_back(charAlt('\n', "{ newLine; }"));
  body.Elems.push_back(loop);
  Elem skip;
  skip.Kind = ElemKind::Action;
  skip.Text = "{ _ttype := TT_SKIP; }";
  body.Elems.push_back(skip);
  r.Alts.push_back(body);
  return r;
}

Rule CommentRule(Random& R) {
  // "/*" ( options { greedy = false; } : '\n' { newLine; } | . )* "*/"
  Rule r;
  r.Name = "CMT";
  Alt body;
  Elem open;
  open.Kind = ElemKind::String;
  open.Text = "/*";
  body.Elems.push_back(open);
  Elem loop;
  loop.Kind = ElemKind::Block;
  loop.Suffix = SuffixKind::ZeroOrMore;
  loop.Options.emplace_back("greedy", "false");
  Alt nl;
  Elem c;
  c.Kind = ElemKind::Char;
  c.First = '\n';
  nl.Elems.push_back(c);
  Elem act;
  act.Kind = ElemKind::Action;
  act.Text = "{ newLine; }";
  nl.Elems.push_back(act);
  loop.Alts.push_back(nl);
  Alt any;
  Elem w;
  w.Kind = ElemKind::Wildcard;
  w.Bang = R.Chance(30);
  any.Elems.push_back(w);
  loop.Alts.push_back(any);
  body.Elems.push_back(loop);
  Elem close;
  close.Kind = ElemKind::String;
  close.Text = "*/";
  body.Elems.push_back(close);
  if (R.Chance(70)) {
    Elem skip;
    skip.Kind = ElemKind::Action;
    skip.Text = "{ _ttype := TT_SKIP; }";
    body.Elems.push_back(skip);
  }
  r.Alts.push_back(body);
  return r;
}

Rule IdentifierRule(Random& R, bool TestLiterals) {
  // ( 'a'..'z' | '_' ) ( 'a'..'z' | '0'..'9' | '_' )*, which makes the keywords of the tokens
  // section.
  Rule r;
  r.Name = "IDENT";
  if (TestLiterals) r.Options.emplace_back("testLiterals", "true");
  if (R.Chance(20)) r.Options.emplace_back("paraphrase", "\"an identifier\"");
  auto range = [](int a, int b) {
    Elem e;
    e.Kind = ElemKind::CharRange;
    e.First = a;
    e.Last = b;
    Alt alt;
    alt.Elems.push_back(e);
    return alt;
  };
  auto ch = [](int c) {
    Elem e;
    e.Kind = ElemKind::Char;
    e.First = c;
    Alt alt;
    alt.Elems.push_back(e);
    return alt;
  };
  Alt body;
  Elem first;
  first.Kind = ElemKind::Block;
  first.Alts = {range('a', 'z'), ch('_')};
  if (R.Chance(30)) first.Alts.push_back(range('A', 'Z'));
  body.Elems.push_back(first);
  Elem rest;
  rest.Kind = ElemKind::Block;
  rest.Suffix = SuffixKind::ZeroOrMore;
  rest.Alts = {range('a', 'z'), range('0', '9'), ch('_')};
  body.Elems.push_back(rest);
  r.Alts.push_back(body);
  return r;
}

}  // namespace

Grammar Generator::Lexer(std::uint64_t Seed) {
  Grammar g;
  fGrammar = &g;
  g.Lexer = true;
  g.Unit = LexerUnitName(Seed);
  g.ClassName = "T" + g.Unit;
  g.K = fRandom.Chance(40) ? 1 : (fRandom.Chance(65) ? 2 : 3);

  // Alphabet of this grammar.
  // A small alphabet makes tokens overlap and lookahead conflict.
  const int size = fRandom.Chance(20) ? fRandom.Between(2, 4) : fRandom.Between(5, 12);
  while (static_cast<int>(fAlphabet.size()) < size) {
    const char c = kCharPool[static_cast<std::size_t>(fRandom.Below(static_cast<int>(kCharPool.size())))];
    if (fAlphabet.find(c) == std::string::npos) fAlphabet += c;
  }
  if (fRandom.Chance(15)) fAlphabet += static_cast<char>(0xE9);

  g.Options.emplace_back("k", std::to_string(g.K));
  g.Options.emplace_back("exportVocab", VocabularyName(Seed));
  bool testLiterals = false;
  if (fRandom.Chance(50)) {
    testLiterals = fRandom.Chance(50);
    g.Options.emplace_back("testLiterals", testLiterals ? "true" : "false");
  }
  if (fRandom.Chance(25)) {
    g.CaseSensitive = fRandom.Chance(40);
    g.Options.emplace_back("caseSensitive", g.CaseSensitive ? "true" : "false");
  }
  bool filterRule = false;
  if (fRandom.Chance(25)) {
    const int roll = fRandom.Below(4);
    if (roll == 0) {
      g.Options.emplace_back("filter", "false");
    } else if (roll == 1) {
      g.Filter = true;
      g.Options.emplace_back("filter", "true");
    } else {
      g.Filter = true;
      filterRule = true;
      g.Options.emplace_back("filter", "KRFILTER");
    }
  }
  if (fRandom.Chance(10)) g.Uses.push_back("StrUtils");
  if (fRandom.Chance(4)) g.Options.emplace_back("defaultErrorHandler", "true");  // kiv warns: not for lexers
  fConstName = "KrLimit" + std::to_string(Seed);
  if (fRandom.Chance(15)) g.ConstSection = "{ " + fConstName + " = 7; }";
  if (fRandom.Chance(15)) g.TypeSection = "{ TKrSmall" + std::to_string(Seed) + " = 0..9; }";

  // Tokens section: keywords, named keywords and names without a rule.
  std::vector<std::string> keywords;
  if (fRandom.Chance(55)) {
    const int n = fRandom.Between(1, 5);
    std::set<std::string> used;
    for (int i = 0; i < n; ++i) {
      TokensEntry t;
      std::string word = fRandom.Pick(kKeywords);
      if (!g.CaseSensitive && fRandom.Chance(30)) word[0] = static_cast<char>(std::toupper(word[0]));
      const int kind = fRandom.Below(4);
      if (kind <= 1) {
        if (!used.insert(Lower(word)).second) continue;
        t.Literal = word;
        keywords.push_back(word);
      } else if (kind == 2) {
        if (!used.insert(Lower(word)).second) continue;
        t.Name = "KW_" + std::to_string(i);
        t.Literal = word;
        keywords.push_back(word);
      } else {
        t.Name = "TOK_" + std::to_string(i);
      }
      g.Tokens.push_back(t);
    }
  }

  g.MemberDecl = MemberDecl(true);
  g.MemberDef = MemberDef(g.ClassName);

  // Rules: fixed shapes first, then random token rules, then helpers.
  std::vector<Rule> rules;
  if (fRandom.Chance(80)) rules.push_back(WhitespaceRule(fRandom));
  if (fRandom.Chance(25)) rules.push_back(CommentRule(fRandom));
  if (!keywords.empty() || fRandom.Chance(40)) rules.push_back(IdentifierRule(fRandom, !testLiterals && fRandom.Chance(70)));
  std::set<std::string> names;
  for (const Rule& r : rules) names.insert(Lower(r.Name));
  const int tokenRules = fRandom.Between(2, 7);
  const int helpers = fRandom.Between(0, 4);
  std::vector<Rule> generated;
  for (int i = 0; i < tokenRules + helpers; ++i) {
    Rule r;
    const bool helper = i >= tokenRules;
    std::string name = helper ? fRandom.Pick(kProtectedNames) : fRandom.Pick(kTokenRuleNames);
    if (fRandom.Below(600) == 0) name = "Ark";  // its method would be "mark": kiv rejects it
    while (names.count(Lower(name)) != 0) name += "X";
    names.insert(Lower(name));
    r.Name = name;
    if (helper) {
      r.Access = fRandom.Chance(85) ? "protected" : "private";
    } else {
      const int roll = fRandom.Below(10);
      r.Access = roll < 6 ? "" : "public";
    }
    generated.push_back(r);
  }
  if (filterRule) {
    Rule f;
    f.Name = "KRFILTER";
    f.Access = "protected";
    generated.push_back(f);
  }
  // Now and then a lexer without token rules: its NextToken answers the end of input at once.
  if (fRandom.Chance(2))
    for (Rule& r : rules) r.Access = "protected";
  for (Rule& r : generated) rules.push_back(r);
  g.Rules = rules;

  // Parameters and results first: references made before a rule's definition need them.
  for (Rule& r : g.Rules) {
    if (!r.Alts.empty() || r.Name == "KRFILTER") continue;
    // A token rule cannot have them: kiv rejects the grammar.
    if (r.IsToken() && fRandom.Below(150) != 0) continue;
    if (fRandom.Chance(35))
      r.Params = fRandom.Chance(20) && !g.TypeSection.empty() ? "p: TKrSmall" + std::to_string(Seed) : "p: Integer";
    if (fRandom.Chance(30)) r.Returns = "Integer";
  }
  // Bodies of the generated rules.
  for (std::size_t i = 0; i < g.Rules.size(); ++i) {
    Rule& r = g.Rules[i];
    if (!r.Alts.empty()) continue;
    fRuleIndex = static_cast<int>(i);
    fLabels.clear();
    fIntLocals.clear();
    fParam = r.Params.empty() ? "" : "p";
    if (fRandom.Chance(25)) {
      fIntLocals = {"v1", "v2"};
      r.Locals = "{ v1, v2: Integer; }";
    }
    if (fRandom.Chance(10)) r.Init = "{ KrNote(11); }";
    if (fRandom.Chance(15)) r.Options.emplace_back("testLiterals", fRandom.Chance(70) ? "true" : "false");
    if (fRandom.Chance(8)) r.Options.emplace_back("generateAmbigWarnings", "false");
    if (fRandom.Chance(10) && !r.IsToken()) r.Options.emplace_back("paraphrase", "\"a (helper) = 'x'\"");
    if (fRandom.Chance(10) && r.IsToken()) r.Options.emplace_back("paraphrase", "\"token " + r.Name + "\"");
    if (fRandom.Chance(8) && r.IsToken()) {
      // The ignore rule: a protected rule matched optionally after every literal.
      r.Options.emplace_back("ignore", "KRIGNORE");
    }
    GenRuleBody(r, 45);
    // A helper that may match nothing, through an empty alternative.
    if (!r.IsToken() && r.Name != "KRFILTER" && fRandom.Chance(5)) r.Alts.emplace_back();
    if (!r.Returns.empty() && fRandom.Chance(70)) {
      Elem act;
      act.Kind = ElemKind::Action;
      act.Text = fParam.empty() ? "{ result := 3; }" : "{ result := p; }";
      r.Alts[0].Elems.push_back(act);
    }
    if (r.IsToken() && fRandom.Chance(10)) {
      Elem act;
      act.Kind = ElemKind::Action;
      act.Text = "{ _ttype := TT_SKIP; }";
      r.Alts.back().Elems.push_back(act);
    }
    if (r.Name != "KRFILTER") MaybeHandler(r.HandlerKind, r.HandlerText, 12);
  }
  bool ignoreUsed = false;
  for (const Rule& r : g.Rules)
    for (const auto& o : r.Options) ignoreUsed = ignoreUsed || o.first == "ignore";
  if (ignoreUsed) {
    Rule ig;
    ig.Name = "KRIGNORE";
    ig.Access = "protected";
    Alt a;
    Elem loop;
    loop.Kind = ElemKind::Block;
    loop.Suffix = fRandom.Chance(50) ? SuffixKind::OneOrMore : SuffixKind::ZeroOrMore;
    Alt sp;
    Elem c;
    c.Kind = ElemKind::Char;
    c.First = fRandom.Chance(50) ? ' ' : '_';
    sp.Elems.push_back(c);
    loop.Alts.push_back(sp);
    a.Elems.push_back(loop);
    ig.Alts.push_back(a);
    g.Rules.push_back(ig);
  }

  EnsureFinite(g);
  MakeLoopsProgress(g);
  fGrammar = nullptr;
  return g;
}

// ---------------------------------------------------------------------------------------------
// Parser grammar
// ---------------------------------------------------------------------------------------------

Grammar Generator::Parser(std::uint64_t Seed, const Grammar& LexerGrammar, const std::vector<VocabularyToken>& Vocabulary) {
  Grammar g;
  fGrammar = &g;
  g.Lexer = false;
  g.Unit = ParserUnitName(Seed);
  g.ClassName = "T" + g.Unit;
  g.K = fRandom.Chance(40) ? 1 : (fRandom.Chance(65) ? 2 : 3);
  g.Options.emplace_back("k", std::to_string(g.K));
  g.Options.emplace_back("importVocab", VocabularyName(Seed));
  if (fRandom.Chance(30)) g.Options.emplace_back("defaultErrorHandler", fRandom.Chance(60) ? "true" : "false");
  if (fRandom.Chance(10)) g.Uses.push_back("Math");
  if (fRandom.Chance(20)) g.Options.emplace_back("exportVocab", VocabularyName(Seed) + "P");
  (void)LexerGrammar;

  for (const VocabularyToken& t : Vocabulary) {
    if (t.Type < 4) continue;
    if (!t.Literal.empty()) {
      fLiterals.push_back(t.Literal);
    } else {
      fTokenNames.push_back(t.Name);
      fTyped.emplace_back(t.Name, t.Type);
    }
  }
  if (fTokenNames.empty()) {
    fTokenNames.push_back("EOF");
  }

  g.MemberDecl = MemberDecl(false);
  g.MemberDef = MemberDef(g.ClassName);

  const int count = fRandom.Between(2, 8);
  std::set<std::string> names;
  for (int i = 0; i < count; ++i) {
    Rule r;
    std::string name =
        i == 0 ? "start" : (fRandom.Chance(25) ? fRandom.Pick(kReservedRuleNames) : fRandom.Pick(kParserRuleNames));
    if (i > 0 && fRandom.Below(400) == 0)
      name = fRandom.Pick(std::vector<std::string>{"break", "match", "consume", "true"});  // kiv rejects them
    while (names.count(Lower(name)) != 0) name += "x";
    names.insert(Lower(name));
    r.Name = name;
    const int roll = fRandom.Below(10);
    r.Access = i == 0 ? (roll < 8 ? "" : "public") : (roll < 6 ? "" : (roll < 8 ? "public" : (roll < 9 ? "protected" : "private")));
    g.Rules.push_back(r);
  }
  for (std::size_t i = 0; i < g.Rules.size(); ++i) {
    Rule& r = g.Rules[i];
    fRuleIndex = static_cast<int>(i);
    fLabels.clear();
    fIntLocals.clear();
    fParam.clear();
    if (i > 0 && fRandom.Chance(30)) {
      fParam = "p";
      r.Params = "p: Integer";
    }
    if (i > 0 && fRandom.Chance(30)) r.Returns = "Integer";
  }
  for (std::size_t i = 0; i < g.Rules.size(); ++i) {
    Rule& r = g.Rules[i];
    fRuleIndex = static_cast<int>(i);
    fLabels.clear();
    fIntLocals.clear();
    fParam = r.Params.empty() ? "" : "p";
    if (fRandom.Chance(30)) {
      fIntLocals = {"v1", "v2"};
      r.Locals = "{ v1, v2: Integer; }";
    }
    if (fRandom.Chance(10)) r.Init = "{ KrNote(12); }";
    if (fRandom.Chance(12)) r.Options.emplace_back("defaultErrorHandler", fRandom.Chance(60) ? "true" : "false");
    if (fRandom.Chance(6)) r.Options.emplace_back("generateAmbigWarnings", "false");
    if (fRandom.Chance(5)) r.Options.emplace_back("paraphrase", "\"a rule\"");
    GenRuleBody(r, 40);
    if (i > 0 && fRandom.Chance(5)) r.Alts.emplace_back();  // a rule that may match nothing
    if (!r.Returns.empty() && fRandom.Chance(70)) {
      Elem act;
      act.Kind = ElemKind::Action;
      act.Text = fParam.empty() ? "{ result := 3; }" : "{ result := p; }";
      r.Alts[0].Elems.push_back(act);
    }
    MaybeHandler(r.HandlerKind, r.HandlerText, 12);
    if (i == 0) {
      // The start rule: its alternatives in a block, then EOF.
      Elem block;
      block.Kind = ElemKind::Block;
      block.Suffix = fRandom.Chance(50) ? SuffixKind::ZeroOrMore : SuffixKind::None;
      block.Alts = r.Alts;
      for (Alt& a : block.Alts) {
        a.HandlerKind.clear();
        a.HandlerText.clear();
      }
      Alt top;
      top.Elems.push_back(block);
      if (fRandom.Chance(85)) {
        Elem eof;
        eof.Kind = ElemKind::TokenRef;
        eof.Text = "EOF";
        top.Elems.push_back(eof);
      }
      r.Alts = {top};
    }
  }
  // The driver can call the public rules without parameters.
  for (const Rule& r : g.Rules)
    if (r.Params.empty() && r.IsToken()) g.Entries.push_back(r.Name);

  EnsureFinite(g);
  MakeLoopsProgress(g);
  fGrammar = nullptr;
  return g;
}

// ---------------------------------------------------------------------------------------------
// Grammar text
// ---------------------------------------------------------------------------------------------

namespace {

std::string CharLiteral(int Code) {
  switch (Code) {
    case '\'':
      return "'\\''";
    case '\\':
      return "'\\\\'";
    case '\n':
      return "'\\n'";
    case '\r':
      return "'\\r'";
    case '\t':
      return "'\\t'";
    default:
      break;
  }
  if (Code < 32 || Code > 126) {
    static const char* hex = "0123456789ABCDEF";
    return std::string("'\\x") + hex[(Code >> 4) & 15] + hex[Code & 15] + "'";
  }
  return "'" + std::string(1, static_cast<char>(Code)) + "'";
}

std::string StringLiteral(const std::string& Text) {
  std::string out = "\"";
  for (const char ch : Text) {
    const int c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 32 || c > 126) {
          static const char* hex = "0123456789ABCDEF";
          out += std::string("\\x") + hex[(c >> 4) & 15] + hex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

class Printer {
 public:
  explicit Printer(const Grammar& G) : fGrammar(G) {}
  std::string Text(const std::string& Comment);

 private:
  std::string AltText(const Alt& A, const std::string& Indent);
  std::string ElemText(const Elem& E, const std::string& Indent);
  std::string OptionsText(const std::vector<std::pair<std::string, std::string>>& Options);
  const Grammar& fGrammar;
};

std::string Printer::OptionsText(const std::vector<std::pair<std::string, std::string>>& Options) {
  std::string text = "options { ";
  for (const auto& o : Options) text += o.first + " = " + o.second + "; ";
  return text + "}";
}

std::string Printer::ElemText(const Elem& E, const std::string& Indent) {
  std::string label = E.Label.empty() ? "" : E.Label + ":";
  const std::string bang = E.Bang ? "!" : "";
  switch (E.Kind) {
    case ElemKind::Char:
      return label + CharLiteral(E.First) + bang;
    case ElemKind::CharRange:
      return label + CharLiteral(E.First) + ".." + CharLiteral(E.Last) + bang;
    case ElemKind::String:
      return label + StringLiteral(E.Text) + bang;
    case ElemKind::Wildcard:
      return label + "." + bang;
    case ElemKind::NotChar:
      return label + "~" + CharLiteral(E.First) + bang;
    case ElemKind::TokenRef:
    case ElemKind::RuleRef: {
      std::string text = E.Assign.empty() ? label : E.Assign + "=" + label;
      text += E.Text;
      // A lower-case rule takes its argument before the "!", a token (upper-case) rule after it.
      const std::string args = E.Args.empty() ? "" : "[" + E.Args + "]";
      const bool upper = !E.Text.empty() && std::isupper(static_cast<unsigned char>(E.Text[0]));
      text += upper ? bang + args : args + bang;
      return text;
    }
    case ElemKind::NotToken:
      return label + "~" + E.Text + bang;
    case ElemKind::TokenRange:
      return label + E.Text + ".." + E.Text2 + bang;
    case ElemKind::Action:
      return E.Text;
    case ElemKind::SemPred:
      return E.Text + "?";
    case ElemKind::Block: {
      std::string text = label + (E.Inverted ? "~" : "") + "(";
      const std::string inner = Indent + "   ";
      if (!E.Options.empty() || !E.Init.empty()) {
        text += " ";
        if (!E.Options.empty()) text += OptionsText(E.Options) + " ";
        if (!E.Init.empty()) text += E.Init + " ";
        text += ":";
      }
      for (std::size_t i = 0; i < E.Alts.size(); ++i) {
        text += (i == 0 ? " " : "\n" + inner + "| ") + AltText(E.Alts[i], inner);
      }
      text += " )";
      switch (E.Suffix) {
        case SuffixKind::Optional:
          text += "?";
          break;
        case SuffixKind::ZeroOrMore:
          text += "*";
          break;
        case SuffixKind::OneOrMore:
          text += "+";
          break;
        case SuffixKind::SynPred:
          text += "=>";
          break;
        default:
          break;
      }
      return text;
    }
  }
  return "";
}

std::string Printer::AltText(const Alt& A, const std::string& Indent) {
  std::string text;
  for (std::size_t i = 0; i < A.Elems.size(); ++i) {
    if (i > 0) text += " ";
    text += ElemText(A.Elems[i], Indent);
  }
  if (!A.HandlerKind.empty()) text += (text.empty() ? "" : " ") + A.HandlerKind + " " + A.HandlerText;
  return text;
}

std::string Printer::Text(const std::string& Comment) {
  const Grammar& g = fGrammar;
  std::string t = "// " + Comment + "\n";
  t += "unit " + g.Unit + ";\n";
  if (!g.Uses.empty()) {
    t += "uses {\n";
    for (const std::string& u : g.Uses) t += "   " + u + ";\n";
    t += "}\n";
  }
  if (!g.ConstSection.empty()) t += "const " + g.ConstSection + "\n";
  if (!g.TypeSection.empty()) t += "type " + g.TypeSection + "\n";
  t += std::string(g.Lexer ? "lexer " : "parser ") + g.ClassName + ";\n";
  t += "options {\n";
  for (const auto& o : g.Options) t += "   " + o.first + " = " + o.second + ";\n";
  t += "}\n";
  if (!g.Tokens.empty()) {
    t += "tokens {\n";
    for (const TokensEntry& e : g.Tokens) {
      t += "   ";
      if (!e.Name.empty()) t += e.Name;
      if (!e.Name.empty() && !e.Literal.empty()) t += " = ";
      if (!e.Literal.empty()) t += StringLiteral(e.Literal);
      t += ";\n";
    }
    t += "}\n";
  }
  if (!g.MemberDecl.empty()) t += "memberdecl " + g.MemberDecl + "\n";
  t += "\n";
  for (const Rule& r : g.Rules) {
    if (!r.Access.empty()) t += r.Access + " ";
    t += r.Name;
    if (!r.Params.empty()) t += " [" + r.Params + "]";
    if (!r.Returns.empty()) t += " returns [" + r.Returns + "]";
    t += "\n";
    if (!r.Options.empty()) t += "   " + OptionsText(r.Options) + "\n";
    if (!r.Locals.empty()) t += "   local " + r.Locals + "\n";
    if (!r.Init.empty()) t += "   " + r.Init + "\n";
    for (std::size_t i = 0; i < r.Alts.size(); ++i) t += std::string(i == 0 ? "   : " : "   | ") + AltText(r.Alts[i], "     ") + "\n";
    t += "   ;\n";
    if (!r.HandlerKind.empty()) t += r.HandlerKind + " " + r.HandlerText + "\n";
    t += "\n";
  }
  if (!g.MemberDef.empty()) t += "memberdef " + g.MemberDef + "\n";
  return t;
}

}  // namespace

std::string GrammarText(const Grammar& G, const std::string& Comment) { return Printer(G).Text(Comment); }

Grammar GenerateLexer(std::uint64_t Seed) { return Generator(Seed, true).Lexer(Seed); }

Grammar GenerateParser(std::uint64_t Seed, const Grammar& LexerGrammar, const std::vector<VocabularyToken>& Vocabulary) {
  return Generator(Seed, false).Parser(Seed, LexerGrammar, Vocabulary);
}

}  // namespace kiv::rnd
