// kivRandomSentence.cpp - walks random grammars to draw inputs from them.
#include "tests/random/kivRandomSentence.h"

#include <algorithm>
#include <cctype>

namespace kiv::rnd {

namespace {

constexpr int kMaxDepth = 6;  // rule expansions before the walk takes the cheapest ways

bool HasSynPredsIn(const std::vector<Alt>& Alts) {
  for (const Alt& a : Alts)
    for (const Elem& e : a.Elems)
      if (e.Kind == ElemKind::Block && (e.Suffix == SuffixKind::SynPred || HasSynPredsIn(e.Alts))) return true;
  return false;
}

}  // namespace

bool HasSynPreds(const Grammar& G) {
  for (const Rule& r : G.Rules)
    if (HasSynPredsIn(r.Alts)) return true;
  return false;
}

// Note [input sizes]: syntactic predicates without memoisation take time exponential in how
// deeply guesses nest, and with recursive rules that grows with the input: a rule that guesses
// before every recursive step doubles its time with every character or token. Such grammars get
// short inputs, so that a run over the time limit means a loop that never ends, not a slow one.
std::size_t MaxText(const Grammar& G) { return HasSynPreds(G) ? 12 : 400; }
std::size_t MaxTokens(const Grammar& G) { return HasSynPreds(G) ? 8 : 120; }

namespace {

void CollectChars(const std::vector<Alt>& Alts, std::string& Used);

void CollectChars(const Elem& E, std::string& Used) {
  switch (E.Kind) {
    case ElemKind::Char:
    case ElemKind::NotChar:
      Used += static_cast<char>(E.First);
      break;
    case ElemKind::CharRange:
      Used += static_cast<char>(E.First);
      Used += static_cast<char>(E.Last);
      break;
    case ElemKind::String:
      Used += E.Text;
      break;
    case ElemKind::Block:
      CollectChars(E.Alts, Used);
      break;
    default:
      break;
  }
}

void CollectChars(const std::vector<Alt>& Alts, std::string& Used) {
  for (const Alt& a : Alts)
    for (const Elem& e : a.Elems) CollectChars(e, Used);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lexer
// ---------------------------------------------------------------------------------------------

LexerSampler::LexerSampler(const Grammar& Lexer, Random& R) : fGrammar(Lexer), fRandom(R), fCost(Lexer) {
  for (const Rule& r : Lexer.Rules) CollectChars(r.Alts, fUsed);
  for (const TokensEntry& t : Lexer.Tokens) fUsed += t.Literal;
  fUsed.erase(std::remove(fUsed.begin(), fUsed.end(), '\0'), fUsed.end());
  if (fUsed.empty()) fUsed = "a";
  const Rule* ws = Lexer.FindRule("WS");
  fSkipsBlanks = ws != nullptr && ws->IsToken();
}

char LexerSampler::Cased(int Code) {
  char c = static_cast<char>(Code);
  if (!fGrammar.CaseSensitive && std::isalpha(static_cast<unsigned char>(c)) && Code < 128 && fRandom.Chance(40))
    c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
  return c;
}

int LexerSampler::CharNotIn(const std::vector<std::pair<int, int>>& Ranges) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    const int c = fRandom.Chance(70) ? static_cast<unsigned char>(fUsed[static_cast<std::size_t>(
                                           fRandom.Below(static_cast<int>(fUsed.size())))])
                                     : fRandom.Between(1, 255);
    bool inside = false;
    for (const auto& r : Ranges) inside = inside || (c >= r.first && c <= r.second);
    if (!inside && c != 0) return c;
  }
  return 'z';
}

void LexerSampler::WalkRule(const Rule& R, int Depth, std::string& Out) { WalkAlts(R.Alts, Depth + 1, Out); }

void LexerSampler::WalkAlts(const std::vector<Alt>& Alts, int Depth, std::string& Out) {
  if (Alts.empty()) return;
  if (Depth > kMaxDepth) {
    const Alt* best = &Alts.front();
    for (const Alt& a : Alts)
      if (fCost.AltCost(a) < fCost.AltCost(*best)) best = &a;
    WalkAlt(*best, Depth, Out);
    return;
  }
  WalkAlt(Alts[static_cast<std::size_t>(fRandom.Below(static_cast<int>(Alts.size())))], Depth, Out);
}

void LexerSampler::WalkAlt(const Alt& A, int Depth, std::string& Out) {
  for (const Elem& e : A.Elems) {
    if (Out.size() > MaxText(fGrammar)) return;
    WalkElem(e, Depth, Out);
  }
}

void LexerSampler::WalkElem(const Elem& E, int Depth, std::string& Out) {
  const bool deep = Depth > kMaxDepth;
  switch (E.Kind) {
    case ElemKind::Char:
      Out += Cased(E.First);
      break;
    case ElemKind::CharRange:
      Out += Cased(fRandom.Between(E.First, E.Last));
      break;
    case ElemKind::String:
      for (const char c : E.Text) Out += Cased(static_cast<unsigned char>(c));
      break;
    case ElemKind::Wildcard:
      Out += static_cast<char>(CharNotIn({}));
      break;
    case ElemKind::NotChar:
      Out += static_cast<char>(CharNotIn({{E.First, E.First}}));
      break;
    case ElemKind::TokenRef:
    case ElemKind::RuleRef:
      if (const Rule* r = fGrammar.FindRule(E.Text)) WalkRule(*r, Depth, Out);
      break;
    case ElemKind::Block: {
      if (E.Inverted) {
        std::vector<std::pair<int, int>> ranges;
        for (const Alt& a : E.Alts)
          for (const Elem& x : a.Elems) {
            if (x.Kind == ElemKind::CharRange) ranges.emplace_back(x.First, x.Last);
            if (x.Kind == ElemKind::Char) ranges.emplace_back(x.First, x.First);
            if (x.Kind == ElemKind::String && !x.Text.empty())
              ranges.emplace_back(static_cast<unsigned char>(x.Text[0]), static_cast<unsigned char>(x.Text[0]));
          }
        Out += static_cast<char>(CharNotIn(ranges));
        break;
      }
      int times = 1;
      switch (E.Suffix) {
        case SuffixKind::SynPred:
          times = 0;
          break;
        case SuffixKind::Optional:
          times = deep ? 0 : fRandom.Below(2);
          break;
        case SuffixKind::ZeroOrMore:
          times = deep ? 0 : fRandom.Below(3);
          break;
        case SuffixKind::OneOrMore:
          times = deep ? 1 : fRandom.Between(1, 3);
          break;
        default:
          break;
      }
      for (int i = 0; i < times; ++i) WalkAlts(E.Alts, Depth + 1, Out);
      break;
    }
    default:
      break;
  }
}

std::string LexerSampler::Token(const std::string& Name) {
  std::string out;
  if (const Rule* r = fGrammar.FindRule(Name)) {
    WalkRule(*r, 0, out);
    return out;
  }
  for (const TokensEntry& t : fGrammar.Tokens)
    if (t.Name == Name && !t.Literal.empty()) {
      for (const char c : t.Literal) out += Cased(static_cast<unsigned char>(c));
      return out;
    }
  return out;
}

std::string LexerSampler::Text() {
  std::vector<std::string> names;
  for (const Rule& r : fGrammar.Rules)
    if (r.IsToken()) names.push_back(r.Name);
  std::vector<std::string> literals;
  for (const TokensEntry& t : fGrammar.Tokens)
    if (!t.Literal.empty()) literals.push_back(t.Literal);
  std::string out;
  const int n = fRandom.Between(1, 8);
  for (int i = 0; i < n && out.size() < MaxText(fGrammar); ++i) {
    if (i > 0 && fSkipsBlanks && fRandom.Chance(70)) out += fRandom.Chance(80) ? " " : "\n";
    if (!literals.empty() && fRandom.Chance(15)) {
      for (const char c : fRandom.Pick(literals)) out += Cased(static_cast<unsigned char>(c));
    } else if (!names.empty()) {
      out += Token(fRandom.Pick(names));
    }
  }
  return out;
}

std::string LexerSampler::Bytes() {
  std::string out;
  const int n = fRandom.Between(0, static_cast<int>(std::min<std::size_t>(40, MaxText(fGrammar))));
  for (int i = 0; i < n; ++i) {
    const int roll = fRandom.Below(100);
    if (roll < 70)
      out += fUsed[static_cast<std::size_t>(fRandom.Below(static_cast<int>(fUsed.size())))];
    else if (roll < 98)
      out += static_cast<char>(fRandom.Between(1, 255));
    else
      out += '\0';
  }
  return out;
}

void MutateText(std::string& Text, Random& R) {
  const int n = R.Between(1, 3);
  for (int i = 0; i < n; ++i) {
    if (Text.empty()) {
      Text += static_cast<char>(R.Between(1, 255));
      continue;
    }
    const std::size_t at = static_cast<std::size_t>(R.Below(static_cast<int>(Text.size())));
    switch (R.Below(3)) {
      case 0:
        Text.erase(at, 1);
        break;
      case 1:
        Text.insert(at, 1, Text[at]);
        break;
      default:
        Text[at] = static_cast<char>(R.Between(1, 255));
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------------------------

ParserSampler::ParserSampler(const Grammar& Parser, const std::vector<VocabularyToken>& Vocabulary, Random& R)
    : fGrammar(Parser), fVocabulary(Vocabulary), fRandom(R), fCost(Parser) {}

int ParserSampler::TypeOf(const std::string& Name) const {
  if (Name == "EOF") return 1;
  for (const VocabularyToken& t : fVocabulary)
    if (t.Literal.empty() && Lower(t.Name) == Lower(Name)) return t.Type;
  return -1;
}

int ParserSampler::LiteralType(const std::string& Text) const {
  for (const VocabularyToken& t : fVocabulary)
    if (!t.Literal.empty() && t.Literal == Text) return t.Type;
  return -1;
}

std::string ParserSampler::NameOf(int Type) const {
  for (const VocabularyToken& t : fVocabulary)
    if (t.Type == Type) return t.Literal.empty() ? t.Name : "\"" + t.Literal + "\"";
  return "";
}

int ParserSampler::RandomType() {
  int highest = 4;
  for (const VocabularyToken& t : fVocabulary) highest = std::max(highest, t.Type);
  return fRandom.Between(4, highest);
}

std::vector<int> ParserSampler::Sentence(const std::string& RuleName) {
  std::vector<int> out;
  if (const Rule* r = fGrammar.FindRule(RuleName)) WalkAlts(r->Alts, 1, out);
  // The end-of-file token ends the token stream.
  while (!out.empty() && out.back() == 1) out.pop_back();
  return out;
}

std::vector<int> ParserSampler::RandomTypes() {
  std::vector<int> out;
  const int n = fRandom.Between(0, static_cast<int>(std::min<std::size_t>(20, MaxTokens(fGrammar) + 2)));
  for (int i = 0; i < n; ++i) {
    const int roll = fRandom.Below(100);
    if (roll < 94)
      out.push_back(RandomType());
    else if (roll < 97)
      out.push_back(fRandom.Between(0, 3));
    else
      out.push_back(fRandom.Chance(50) ? 300 : -7);
  }
  return out;
}

void ParserSampler::Mutate(std::vector<int>& Types) {
  const int n = fRandom.Between(1, 3);
  for (int i = 0; i < n; ++i) {
    if (Types.empty()) {
      Types.push_back(RandomType());
      continue;
    }
    const std::size_t at = static_cast<std::size_t>(fRandom.Below(static_cast<int>(Types.size())));
    switch (fRandom.Below(4)) {
      case 0:
        Types.erase(Types.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 1:
        Types.insert(Types.begin() + static_cast<std::ptrdiff_t>(at), Types[at]);
        break;
      case 2:
        std::swap(Types[at], Types[static_cast<std::size_t>(fRandom.Below(static_cast<int>(Types.size())))]);
        break;
      default:
        Types.insert(Types.begin() + static_cast<std::ptrdiff_t>(at), RandomType());
        break;
    }
  }
}

void ParserSampler::WalkAlts(const std::vector<Alt>& Alts, int Depth, std::vector<int>& Out) {
  if (Alts.empty()) return;
  if (Depth > kMaxDepth) {
    const Alt* best = &Alts.front();
    for (const Alt& a : Alts)
      if (fCost.AltCost(a) < fCost.AltCost(*best)) best = &a;
    WalkAlt(*best, Depth, Out);
    return;
  }
  WalkAlt(Alts[static_cast<std::size_t>(fRandom.Below(static_cast<int>(Alts.size())))], Depth, Out);
}

void ParserSampler::WalkAlt(const Alt& A, int Depth, std::vector<int>& Out) {
  for (const Elem& e : A.Elems) {
    if (Out.size() > MaxTokens(fGrammar)) return;
    WalkElem(e, Depth, Out);
  }
}

void ParserSampler::WalkElem(const Elem& E, int Depth, std::vector<int>& Out) {
  const bool deep = Depth > kMaxDepth;
  switch (E.Kind) {
    case ElemKind::TokenRef: {
      const int t = TypeOf(E.Text);
      if (t > 0) Out.push_back(t);
      break;
    }
    case ElemKind::String: {
      const int t = LiteralType(E.Text);
      if (t > 0) Out.push_back(t);
      break;
    }
    case ElemKind::TokenRange: {
      const int a = TypeOf(E.Text);
      const int b = TypeOf(E.Text2);
      if (a > 0 && b > 0) Out.push_back(fRandom.Between(std::min(a, b), std::max(a, b)));
      break;
    }
    case ElemKind::Wildcard:
      Out.push_back(RandomType());
      break;
    case ElemKind::NotToken: {
      const int t = TypeOf(E.Text);
      int x = RandomType();
      for (int i = 0; i < 10 && x == t; ++i) x = RandomType();
      Out.push_back(x);
      break;
    }
    case ElemKind::RuleRef:
      if (const Rule* r = fGrammar.FindRule(E.Text)) WalkAlts(r->Alts, Depth + 1, Out);
      break;
    case ElemKind::Block: {
      if (E.Inverted) {
        std::vector<int> excluded;
        for (const Alt& a : E.Alts)
          for (const Elem& x : a.Elems) {
            if (x.Kind == ElemKind::TokenRef) excluded.push_back(TypeOf(x.Text));
            if (x.Kind == ElemKind::TokenRange)
              for (int t = std::min(TypeOf(x.Text), TypeOf(x.Text2)); t <= std::max(TypeOf(x.Text), TypeOf(x.Text2)); ++t)
                excluded.push_back(t);
          }
        int x = RandomType();
        for (int i = 0; i < 20 && std::find(excluded.begin(), excluded.end(), x) != excluded.end(); ++i) x = RandomType();
        Out.push_back(x);
        break;
      }
      int times = 1;
      switch (E.Suffix) {
        case SuffixKind::SynPred:
          times = 0;
          break;
        case SuffixKind::Optional:
          times = deep ? 0 : fRandom.Below(2);
          break;
        case SuffixKind::ZeroOrMore:
          times = deep ? 0 : fRandom.Below(3);
          break;
        case SuffixKind::OneOrMore:
          times = deep ? 1 : fRandom.Between(1, 3);
          break;
        default:
          break;
      }
      for (int i = 0; i < times; ++i) WalkAlts(E.Alts, Depth + 1, Out);
      break;
    }
    default:
      break;
  }
}

}  // namespace kiv::rnd
