// kivGraphArena.cpp - where a grammar keeps the arena of its element graph.
#include "engine/graph/kivGraphArena.h"

#include "engine/kivModel.h"

namespace kiv {

// The grammar carries one uninterpreted shared reference for the passes that build on it; the graph
// arena rides on it, so the arena lives exactly as long as the grammar and is released with it.
GraphArena& GraphArenaOf(IkivGrammar& Grammar) {
  std::shared_ptr<void> Held = Grammar.getExtraReference();
  if (!Held) {
    Held = std::make_shared<GraphArena>();
    Grammar.setExtraReference(Held);
  }
  return *static_cast<GraphArena*>(Held.get());
}

} // namespace kiv
