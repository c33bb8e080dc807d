// kivLookaheadTests.cpp - set spellings and membership tests of generated decisions.
// Every test is a set-membership test over the caches the analyzer left in the graph.
#include "engine/codegen/kivLookaheadTests.h"

#include <memory>

#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/model/kivTokenManager.h"
#include "runtime/cpp/kivUtils.h"

namespace kiv {

namespace {

// Members in ascending order, runs of consecutive members as first..last.
std::string RunsText(const MemberSet& Members, const std::function<std::string(int)>& Name) {
  std::string text;
  int v = 0;
  while (v < 256) {
    if (!Members.test(static_cast<std::size_t>(v))) {
      ++v;
      continue;
    }
    int last = v;
    while (last + 1 < 256 && Members.test(static_cast<std::size_t>(last + 1))) ++last;
    if (!text.empty()) text += ',';
    text += Name(v);
    if (last > v) text += ".." + Name(last);
    v = last + 1;
  }
  return text;
}

bool HasMembers(const IkivLookaheadPtr& Set) { return Set && Set->GetMembers().any(); }

} // namespace

std::string CharSetForm(const MemberSet& Members) { return CharSetText(Members); }

std::string DeclaredTokenName(const IkivTokenManager& Manager, const std::string& VocabularyName) {
  if (VocabularyName.empty() || VocabularyName[0] == '<') return {};
  const IkivTokenSymbolPtr symbol = Manager.getTokenSymbol(VocabularyName);
  if (!symbol) return {};
  if (VocabularyName[0] == '"') {
    const auto literal = std::dynamic_pointer_cast<IkivStringSymbol>(symbol);
    return literal ? literal->getLabel() : std::string();
  }
  return "TT_" + VocabularyName;
}

TokenVocabularyNames::TokenVocabularyNames(const IkivTokenManager& Manager) : fManager(Manager) {}

namespace {
// Types from 0 up to here are named from the table; others (never in a set) by a scan.
constexpr int CachedTypes = 1 << 16;
} // namespace

void TokenVocabularyNames::ReadNames() const {
  if (fRead && fLinesRead == fManager.getVocabulary().size()) return;
  fNames.clear();
  fLineNames.clear();
  for (const std::string& line : fManager.getVocabulary()) {
    fLineNames.push_back(DeclaredTokenName(fManager, VocabularyLineName(line)));
    const int type = VocabularyLineType(line);
    if (type < 0 || type >= CachedTypes) continue;
    if (static_cast<std::size_t>(type) >= fNames.size()) fNames.resize(static_cast<std::size_t>(type) + 1);
    // The first line of a type that declares a name decides.
    if (!fNames[static_cast<std::size_t>(type)].empty()) continue;
    fNames[static_cast<std::size_t>(type)] = fLineNames.back();
  }
  fLinesRead = fManager.getVocabulary().size();
  fRead = true;
}

std::string TokenVocabularyNames::Name(int Type) const {
  if (Type >= 0 && Type < CachedTypes) {
    ReadNames();
    if (static_cast<std::size_t>(Type) < fNames.size() && !fNames[static_cast<std::size_t>(Type)].empty())
      return fNames[static_cast<std::size_t>(Type)];
  } else {
    for (const std::string& line : fManager.getVocabulary()) {
      if (VocabularyLineType(line) != Type) continue;
      const std::string name = DeclaredTokenName(fManager, VocabularyLineName(line));
      if (!name.empty()) return name;
    }
  }
  if (Type == 0) return "TT_000";
  return std::to_string(Type);
}

const std::vector<std::string>& TokenVocabularyNames::LineNames() const {
  ReadNames();
  return fLineNames;
}

std::string TokenVocabularyNames::SetText(const MemberSet& Members) const {
  return RunsText(Members, [this](int type) { return Name(type); });
}

std::string LookaheadTerm(int Depth, const MemberSet& Members, const MemberFormatter& Format) {
  return "LA(" + std::to_string(Depth) + ") in [" + Format(Members) + "]";
}

std::string Conjunction(const std::vector<IkivLookaheadPtr>& Sets, const MemberFormatter& Format) {
  std::string terms;
  for (std::size_t i = 0; i < Sets.size(); ++i) {
    const IkivLookaheadPtr& set = Sets[i];
    if (!set || set->ContainsEpsilon()) continue;
    if (!terms.empty()) terms += ") and (";
    terms += LookaheadTerm(static_cast<int>(i) + 1, set->GetMembers(), Format);
  }
  if (terms.empty()) terms = "true";
  return "( " + terms + ")";
}

int AlternativeDepthLimit(const IkivAlternative& Alt, int K) {
  const int depth = Alt.GetLookaheadDepth();
  if (depth == NondeterministicDepth || depth > K) return K;
  return depth < 1 ? 1 : depth;
}

std::string AlternativeTest(const IkivAlternative& Alt, int Limit, const MemberFormatter& Format) {
  if (Limit <= 0) return "true";
  std::vector<IkivLookaheadPtr> sets;
  for (int depth = 1; depth <= Limit; ++depth) {
    IkivLookaheadPtr set = Alt.GetCache(depth);
    if (!HasMembers(set)) break;
    sets.push_back(std::move(set));
  }
  return "(" + Conjunction(sets, Format) + ")";
}

bool TestsFirstOnly(const IkivAlternative& Alt, int Limit) {
  if (Limit <= 0) return false;
  const IkivLookaheadPtr first = Alt.GetCache(1);
  if (!HasMembers(first) || first->ContainsEpsilon()) return false;
  for (int depth = 2; depth <= Limit; ++depth) {
    const IkivLookaheadPtr set = Alt.GetCache(depth);
    if (!HasMembers(set)) break;
    if (!set->ContainsEpsilon()) return false;
  }
  return true;
}

bool LookaheadIsEmpty(const IkivAlternative& Alt, int K) {
  const int limit = AlternativeDepthLimit(Alt, K);
  for (int depth = 1; depth <= limit; ++depth)
    if (HasMembers(Alt.GetCache(depth))) return false;
  return true;
}

int EffectiveDepth(const IkivAlternative& Alt, int K) {
  int depth = AlternativeDepthLimit(Alt, K);
  while (depth > 0) {
    const IkivLookaheadPtr set = Alt.GetCache(depth);
    if (HasMembers(set) && !set->ContainsEpsilon()) break;
    --depth;
  }
  return depth;
}

std::string LoopExitTest(const IkivBlockWithImpliedExitPath& Loop, int Depth, const MemberFormatter& Format) {
  std::vector<IkivLookaheadPtr> sets;
  for (int depth = 1; depth <= Depth; ++depth) sets.push_back(Loop.GetExitCache(depth));
  return Conjunction(sets, Format);
}

} // namespace kiv
