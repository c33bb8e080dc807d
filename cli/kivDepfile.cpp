// kivDepfile.cpp - Makefile dependency rules for the files a build wrote.
#include "cli/kivDepfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace kiv {
namespace {

std::string Escaped(const std::string& Path) {
  std::string text;
  for (char c : Path) {
    if (c == ' ' || c == '#' || c == '\\') text += '\\';
    if (c == '$') text += '$';
    text += c;
  }
  return text;
}

} // namespace

std::string DepfileText(const std::vector<DependencyRule>& Rules) {
  std::string text;
  for (const DependencyRule& rule : Rules) {
    if (rule.Targets.empty()) continue;
    for (std::size_t i = 0; i < rule.Targets.size(); ++i) text += (i ? " " : "") + Escaped(rule.Targets[i]);
    text += ":";
    for (const std::string& p : rule.Prerequisites) text += " " + Escaped(p);
    text += "\n";
  }
  return text;
}

std::string WriteDepfile(const std::string& Path, const std::vector<DependencyRule>& Rules) {
  namespace fs = std::filesystem;
  const fs::path target(Path);
  fs::path temporary = target;
  temporary += ".kivtmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << DepfileText(Rules);
    out.flush();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return "cannot write it";
    }
  }
  std::error_code ec;
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return "cannot write it";
  }
  return {};
}

} // namespace kiv
