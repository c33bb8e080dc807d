// qvConflictMark.h
// A branch of an explained decision as the editor marks it: a stretch of text between two
// positions (1-based lines, 0-based character indices in the line), in the look of the first or
// the second branch.
#pragma once

#include <vector>

namespace kiv {

enum class ConflictBranchKind { First, Second };

struct ConflictMark {
  int line = 0;
  int index = 0;
  int endLine = 0;
  int endIndex = 0;
  ConflictBranchKind branch = ConflictBranchKind::First;
};

using ConflictMarks = std::vector<ConflictMark>;

}  // namespace kiv
