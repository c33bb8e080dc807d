// kivUtils.cpp
// Text helpers: character, set and token-type renderings used by diagnostics and generated code.
#include "runtime/cpp/kivUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

namespace kiv {

const std::array<std::uint8_t, 256>& CharClassTable() {
  static const std::array<std::uint8_t, 256> table = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
      std::uint8_t flags = (c >= 32 && c <= 126) ? ccPrintable : ccControl;
      if (c >= '0' && c <= '9') flags |= ccDigit | ccLetterOrDigit;
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) flags |= ccLetter | ccLetterOrDigit;
      t[static_cast<std::size_t>(c)] = flags;
    }
    return t;
  }();
  return table;
}

} // namespace kiv

namespace {

/// Renders the runs of consecutive members of set, each end printed by name.
std::string RunsText(const std::bitset<256>& set, const std::function<std::string(int)>& name) {
  std::string text;
  int v = 0;
  while (v < 256) {
    if (!set.test(static_cast<std::size_t>(v))) {
      ++v;
      continue;
    }
    int last = v;
    while (last + 1 < 256 && set.test(static_cast<std::size_t>(last + 1))) ++last;
    if (!text.empty()) text += ',';
    text += name(v);
    if (last > v) text += ".." + name(last);
    v = last + 1;
  }
  return text;
}

/// Removes characters up to the space from both ends, as the vocabulary lines are trimmed.
std::string Trim(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

/// The 32-bit decimal integer that text spells (an optional sign and digits only). A line whose
/// value is not a number matches no type at all (not even -1).
std::optional<int> ParseNumber(const std::string& text) {
  std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  for (std::size_t j = i; j < text.size(); ++j)
    if (text[j] < '0' || text[j] > '9') return std::nullopt;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

} // namespace

std::string CharText(char c) {
  if (c == '\'') return "''''";
  if (kiv::IsPrintable(c)) return std::string("'") + c + "'";
  return "#" + std::to_string(kiv::CharCode(c));
}

std::string CharSetText(const TkivCharSet& set) {
  return RunsText(set, [](int code) { return CharText(static_cast<char>(code)); });
}

std::string TokenTypeName(int type, std::span<const std::string> vocabulary) {
  for (const std::string& line : vocabulary) {
    const std::size_t eq = line.rfind('=');
    if (eq == std::string::npos) continue;
    if (ParseNumber(Trim(line.substr(eq + 1))) != std::optional<int>(type)) continue;
    const std::string name = Trim(line.substr(0, eq));
    if (!name.empty() && name[0] == '"') return "LT_" + (name.size() >= 2 ? name.substr(1, name.size() - 2) : "");
    return "TT_" + name;
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "%3.3d", type);
  return std::string("TT_") + digits;
}

std::string TokenSetText(const TkivTokenSet& set, std::span<const std::string> vocabulary) {
  return RunsText(set, [vocabulary](int type) { return TokenTypeName(type, vocabulary); });
}
