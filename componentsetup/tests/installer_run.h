#pragma once
// Runs an installer under test and answers the message boxes it shows,
// recording each one's caption and text.

#include <optional>
#include <string>
#include <vector>

namespace setuptest {

struct ShownMessage {
  std::wstring caption;
  std::wstring text;
};

struct InstallerRun {
  int exitCode = -1;  // -1 when it did not end in time
  std::vector<ShownMessage> messages;
};

// Starts program with LQUIET set to quiet (or unset), presses OK on every
// message box it shows and waits up to 30 s for it to end.
InstallerRun runInstaller(const std::wstring& program, const std::optional<std::wstring>& quiet);

}  // namespace setuptest
