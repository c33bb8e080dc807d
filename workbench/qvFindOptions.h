// qvFindOptions.h
// The options of the find and replace dialogs as the editors receive them.
#pragma once

#include <QFlags>

namespace kiv {

enum class FindOption {
  Down = 0x01,        // search towards the end of the text; without it, towards the start
  MatchCase = 0x02,
  WholeWord = 0x04,
  Replace = 0x08,     // replace the next match
  ReplaceAll = 0x10,  // replace every match from the caret on
};
Q_DECLARE_FLAGS(FindOptions, FindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(FindOptions)

}  // namespace kiv
