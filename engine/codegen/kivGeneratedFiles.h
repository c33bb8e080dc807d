// kivGeneratedFiles.h - the files one build produces, held in memory until the whole build has
// succeeded and then put in place together (see note [all-or-nothing output]).
#pragma once

#include <string>
#include <vector>

#include "engine/kivLibTypes.h"

namespace kiv {

// Note [all-or-nothing output]: a grammar's outputs (vocabulary file, token-types unit,
// recognizer unit) are collected while the generator runs and written only when the run counted
// no error. Each is first written to a temporary file in its target's folder, and only when every
// temporary is complete are they renamed over their targets, so a run that fails for any reason
// (an error, a panic, a full disk) leaves every earlier output byte for byte as it was and no
// temporary behind. Before anything is written, a target that is the grammar being built, or an
// existing file that KIV did not write, is refused.
struct GeneratedFile {
  std::string Path;
  std::string Text;
};

class GeneratedFiles {
public:
  void Add(std::string Path, std::string Text);
  const std::vector<GeneratedFile>& Files() const { return fFiles; }
  void Clear() { fFiles.clear(); }

  // Puts every file in place. Problems are counted errors of the grammar GrammarName at line 1,
  // reported through Tool; InputPath (may be empty) is the grammar file being built. True when
  // every file was written.
  bool Commit(IkivTool& Tool, const std::string& GrammarName, const std::string& InputPath) const;

private:
  std::vector<GeneratedFile> fFiles;
};

// Whether the file starts with the first line KIV writes: the banner of generated units or the
// header of vocabulary files. An empty file counts as KIV's (it holds nothing to lose).
bool IsGeneratedByKiv(const std::string& Path);

// The text a refusal or a failed write reports, for callers that check targets themselves.
std::string RefusalText(const std::string& Path, const std::string& Reason);

} // namespace kiv
