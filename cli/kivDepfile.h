// kivDepfile.h - the Makefile rule that a build's depfile holds: what it wrote depends on the
// grammar and on the vocabulary the grammar imported, so make and CMake re-run kiv only when one
// of those changed.
#pragma once

#include <string>
#include <vector>

namespace kiv {

struct DependencyRule {
  std::vector<std::string> Targets;       // the files the build wrote
  std::vector<std::string> Prerequisites; // the grammar and the imported vocabulary file
};

// The rules as Makefile text: "targets: prerequisites", with spaces, '#' and '$' escaped.
std::string DepfileText(const std::vector<DependencyRule>& Rules);

// Writes the text to Path through a temporary renamed over it; the reason of a failure, or empty.
std::string WriteDepfile(const std::string& Path, const std::vector<DependencyRule>& Rules);

} // namespace kiv
