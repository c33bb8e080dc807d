// kivDelphiTemplates.cpp - filling the named holes of the unit templates.
// Templates start with a line break after the opening of their raw string; it is not a line.
#include "engine/codegen/kivDelphiTemplates.h"

#include <stdexcept>

namespace kiv {

std::vector<std::string> ExpandTemplate(std::string_view Template, std::initializer_list<TemplateHole> Holes) {
  if (!Template.empty() && Template.front() == '\n') Template.remove_prefix(1);
  std::string text;
  std::size_t pos = 0;
  while (pos < Template.size()) {
    const std::size_t open = Template.find("${", pos);
    if (open == std::string_view::npos) {
      text.append(Template.substr(pos));
      break;
    }
    const std::size_t close = Template.find('}', open);
    if (close == std::string_view::npos) throw std::logic_error("unterminated template hole");
    text.append(Template.substr(pos, open - pos));
    const std::string_view name = Template.substr(open + 2, close - open - 2);
    bool filled = false;
    for (const TemplateHole& hole : Holes) {
      if (hole.first != name) continue;
      text += hole.second;
      filled = true;
      break;
    }
    if (!filled) throw std::logic_error("template hole without a value: " + std::string(name));
    pos = close + 1;
  }

  std::vector<std::string> lines(1);
  for (const char c : text) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}

} // namespace kiv
