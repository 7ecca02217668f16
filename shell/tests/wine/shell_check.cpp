// Drives the shell integration against the real registry for the Wine test,
// and stands in for a sibling program:
//   shell_check associate EXT PROGRAM     makes EXT open with PROGRAM
//   shell_check remove EXT PROGRAM        gives EXT back to its program
//   shell_check associated EXT PROGRAM    prints yes or no
//   shell_check note OUT ARG...           appends ARG..., one a line, to OUT; after
//                                         "-list FILE" also FILE's lines, each as "list:LINE"
// Exits with 0 when the action succeeded.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "shell/file_associations.h"
#include "sys/registry.h"
#include "sys/win32/wide_text.h"

namespace {

// Stand-ins may run side by side (one start per file): each appends its
// lines in one write while it holds the file alone.
int note(const std::vector<std::string>& args) {
  std::string text;
  for (size_t i = 3; i < args.size(); ++i) {
    text += args[i] + "\n";
    if (args[i] == "-list" && i + 1 < args.size()) {
      text += args[++i] + "\n";
      std::ifstream list(args[i], std::ios::binary);
      std::string line;
      while (std::getline(list, line)) text += "list:" + line + "\n";
    }
  }
  const std::wstring path = sys::win32::widen(args[2]);
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Sleep(25);
      continue;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 1;
  }
  return 1;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(sys::win32::narrow(wide[i]));
  LocalFree(wide);
  if (args.size() >= 3 && args[1] == "note") return note(args);
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: shell_check associate|remove|associated EXT PROGRAM | note OUT ARG...\n");
    return 2;
  }
  shell::FileAssociations associations(sys::systemRegistry());
  const std::string& action = args[1];
  if (action == "associate") return associations.associate(args[2], args[3]) ? 0 : 1;
  if (action == "remove") return associations.removeAssociation(args[2], args[3]) ? 0 : 1;
  if (action == "associated") {
    std::printf("%s\n", associations.isAssociated(args[2], args[3]) ? "yes" : "no");
    return 0;
  }
  return 2;
}
