// kivPascalWriter.h - kiv::PascalWriter: the one place that owns indentation, line ends and line
// counting of generated Pascal text. Text is collected in memory and written out as a whole.
#pragma once

#include <string>
#include <string_view>

namespace kiv {

// Collects generated text. Every line ends with CR LF and starts with the indent unit repeated
// once per level; a line break inside a text handed to Line or Raw is written as CR LF as well, so
// the file never mixes line ends and the line count stays true.
class PascalWriter {
public:
  // Three spaces: one level of indentation in every generated file.
  static constexpr std::string_view IndentUnit = "   ";

  // The indent unit once per level.
  void Tabs();
  // The text unchanged apart from its line breaks; no indentation, no line end.
  void Raw(std::string_view Text);
  // Ends the current line.
  void EndLine();
  // Tabs, the text and a line end; an empty text gives a line of indentation only.
  void Line(std::string_view Text);

  void Indent() { ++fLevel; }
  void Dedent() {
    if (fLevel > 0) --fLevel;
  }
  int Level() const { return fLevel; }
  void SetLevel(int Level) { fLevel = Level < 0 ? 0 : Level; }

  // Number of line ends written so far.
  int LineCount() const { return fLines; }
  const std::string& Text() const { return fText; }
  // Drops the text and returns to level 0.
  void Clear();
  // Puts the text of Other at offset At of this text (At no further than its end).
  void Insert(std::size_t At, const PascalWriter& Other);

private:
  std::string fText;
  int fLevel = 0;
  int fLines = 0;
};

} // namespace kiv
