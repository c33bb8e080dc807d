// kivPascalWriter.cpp - indentation, CR LF line ends and the line counter of generated text.
// Line breaks of any form inside the given text are normalised to CR LF here and nowhere else.
#include "engine/codegen/kivPascalWriter.h"

#include <algorithm>

namespace kiv {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
} // namespace

void PascalWriter::Tabs() {
  for (int i = 0; i < fLevel; ++i) fText += IndentUnit;
}

void PascalWriter::Raw(std::string_view Text) {
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c == '\r' || c == '\n') {
      // CR LF, a lone CR and a lone LF are each one line break.
      if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
      EndLine();
    } else {
      fText += c;
    }
  }
}

void PascalWriter::EndLine() {
  fText += kLineEnd;
  ++fLines;
}

void PascalWriter::Line(std::string_view Text) {
  Tabs();
  Raw(Text);
  EndLine();
}

void PascalWriter::Insert(std::size_t At, const PascalWriter& Other) {
  fText.insert(std::min(At, fText.size()), Other.fText);
  fLines += Other.fLines;
}

void PascalWriter::Clear() {
  fText.clear();
  fLevel = 0;
  fLines = 0;
}

} // namespace kiv
