// kivGraphArena.cpp - where a grammar keeps the arena of its element graph.
#include "engine/graph/kivGraphArena.h"

#include "engine/kivModel.h"

namespace kiv {

// The grammar keeps the arena in its graph-storage slot, so the arena lives exactly as long as the
// grammar and is released with it.
GraphArena& GraphArenaOf(IkivGrammar& Grammar) {
  std::shared_ptr<void> Held = Grammar.getGraphStorage();
  if (!Held) {
    Held = std::make_shared<GraphArena>();
    Grammar.setGraphStorage(Held);
  }
  return *static_cast<GraphArena*>(Held.get());
}

} // namespace kiv
