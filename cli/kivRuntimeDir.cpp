// kivRuntimeDir.cpp - the runtime folder, found from the running program's own location.
#include "cli/kivRuntimeDir.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

#ifndef KIV_SOURCE_RUNTIME_DIR
#define KIV_SOURCE_RUNTIME_DIR ""
#endif

namespace fs = std::filesystem;

namespace kiv {
namespace {

fs::path ProgramPath() {
#if defined(_WIN32)
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  return n == 0 ? fs::path() : fs::path(std::wstring(buffer, n));
#else
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self;
#endif
}

bool HoldsRuntime(const fs::path& dir) {
  std::error_code ec;
  return fs::is_regular_file(dir / "kivLexer.pas", ec);
}

} // namespace

std::string PascalRuntimeDirectory() {
  const fs::path program = ProgramPath();
  if (!program.empty()) {
    const fs::path installed = (program.parent_path() / ".." / "share" / "kiv" / "runtime" / "pascal").lexically_normal();
    if (HoldsRuntime(installed)) return installed.string();
  }
  const fs::path source(KIV_SOURCE_RUNTIME_DIR);
  if (!source.empty() && HoldsRuntime(source)) return source.string();
  return {};
}

} // namespace kiv
