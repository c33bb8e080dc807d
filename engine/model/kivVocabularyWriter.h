// kivVocabularyWriter.h - writing a grammar's token vocabulary file, and the exchange file names.
// The code generator writes the file before each unit; an importing grammar reads it back.
#pragma once

#include <ostream>
#include <string>

#include "engine/kivModel.h"

namespace kiv {

// The directory with a trailing path separator, unless it is empty (the current directory) or
// already ends with one. Both "\" and "/" count as separators; the one added is the platform's.
std::string WithTrailingSeparator(const std::string& Directory);

// The file name without its directory (the text after the last "\", "/" or ":").
std::string BaseFileName(const std::string& FileName);

// Directory (with its separator) + vocabulary name + "Tokens.txt".
std::string VocabularyFileName(const std::string& ExchangeDirectory, const std::string& VocabName);

// Writes the vocabulary text of the grammar: the header comment, the grammar name, then one line
// per vocabulary line that has a symbol, with CR LF line ends. A literal without a label is given
// the label "LT_" + its text without quotes, which it keeps for the rest of generation.
void WriteVocabulary(IkivGrammar& Grammar, std::ostream& Output);

// Writes the grammar's vocabulary file into the exchange directory and answers its name. Without
// an export vocabulary the grammar's unit name becomes its export vocabulary first. The file is
// created or overwritten; a failure to create or write it raises std::runtime_error.
std::string WriteVocabularyFile(IkivGrammar& Grammar, const std::string& ExchangeDirectory);

} // namespace kiv
