// kivGraphArena.h - the arena that owns every node of a grammar's element graph, the interface query
// that finds an element's kind, and the per-depth slot arrays that analysis state lives in.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/kivGraph.h"

namespace kiv {

// Owns the elements and alternatives of one grammar's graph (see note [graph ownership] in
// engine/kivGraph.h). Nodes are never freed one by one: a block that a loop or predicate replaces
// stays in the arena until the grammar goes, which keeps every plain pointer into the graph valid
// for the grammar's whole life.
class GraphArena {
public:
  GraphArena() = default;
  GraphArena(const GraphArena&) = delete;
  GraphArena& operator=(const GraphArena&) = delete;

  // Creates a node of class T (an element or an alternative) and keeps it.
  template <class T, class... Args>
  T* Make(Args&&... args) {
    static_assert(std::is_base_of_v<IkivGrammarElem, T> || std::is_base_of_v<IkivAlternative, T>,
                  "the arena holds elements and alternatives");
    auto node = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = node.get();
    if constexpr (std::is_base_of_v<IkivGrammarElem, T>)
      fElems.push_back(std::move(node));
    else
      fAlternatives.push_back(std::move(node));
    return raw;
  }

  std::size_t ElemCount() const { return fElems.size(); }
  std::size_t AlternativeCount() const { return fAlternatives.size(); }

private:
  std::vector<std::unique_ptr<IkivGrammarElem>> fElems;
  std::vector<std::unique_ptr<IkivAlternative>> fAlternatives;
};

// The arena of the grammar's graph, created with the grammar's first node and released with the
// grammar.
GraphArena& GraphArenaOf(IkivGrammar& Grammar);

// Creates a graph node of class T in the grammar's arena. Every node class takes the grammar first.
template <class T, class... Args>
T* MakeNode(IkivGrammar& Grammar, Args&&... args) {
  if constexpr (std::is_base_of_v<IkivGrammarElem, T>)
    return GraphArenaOf(Grammar).Make<T>(Grammar, std::forward<Args>(args)...);
  else
    return GraphArenaOf(Grammar).Make<T>(std::forward<Args>(args)...);
}

// Per-depth analysis state (locks and caches, index 0..k). Reading outside the array answers the
// empty value and writing beyond it grows it, so a depth the analyzer did not size for is never an
// out-of-bounds access.
template <class T>
class DepthSlots {
public:
  explicit DepthSlots(int Count = 0) { Resize(Count); }
  void Resize(int Count) { fSlots.resize(Count > 0 ? static_cast<std::size_t>(Count) : 0); }
  int Count() const { return static_cast<int>(fSlots.size()); }
  T Get(int K) const { return (K >= 0 && K < Count()) ? T(fSlots[static_cast<std::size_t>(K)]) : T{}; }
  void Set(int K, T Value) {
    if (K < 0) return;
    if (K >= Count()) Resize(K + 1);
    fSlots[static_cast<std::size_t>(K)] = std::move(Value);
  }

private:
  std::vector<T> fSlots;
};

// The interface query: the element as interface I, or null when it is of another kind.
template <class I, class E>
I* Supports(E* Elem) {
  return dynamic_cast<I*>(Elem);
}

} // namespace kiv
