#pragma once
// Helpers for tests: a scratch folder per test, the reference tools of the
// host (sox and friends, native builds only) and little-endian byte images.

#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

// A fresh empty folder for the running test, removed with its files on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const;

 private:
  std::string m_path;
};

// True when the host's command-line tools can be run (native builds with the
// tool on PATH).
bool haveTool(const std::string& tool);
// Whether this build can run the host's tools at all (a Windows test under
// Wine cannot: its comparisons with them run in the native build).
bool hostToolsRunHere();
// For a test that needs tool: true when it can be run. Otherwise false, and
// where ZED_REQUIRE_TOOLS=1 asks for every tool (as continuous integration
// does) the running test is failed, so that a missing tool cannot pass for a
// passing test. On a developer machine the caller skips. Builds that cannot
// run host tools at all never fail for it.
bool needTool(const std::string& tool);
// Runs a shell command line; returns its exit status.
int runTool(const std::string& commandLine);
// Runs a shell command line and returns what it printed on standard output.
std::string toolOutput(const std::string& commandLine);

// While it lives, no file of this process grows past the given size: writes
// beyond it come back short, as on a full disk. Not active where the
// platform has no such limit.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(int64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return m_active; }

 private:
  bool m_active = false;
  int64_t m_old = 0;
};

std::vector<uint8_t> readAll(const std::string& path);
bool writeAll(const std::string& path, const std::vector<uint8_t>& bytes);

// Reads a headerless file of signed 16-bit little-endian samples.
std::vector<int16_t> readPcm16(const std::string& path);
std::vector<int32_t> readPcm32(const std::string& path);

// Little-endian and big-endian byte builders for hand-made file images.
void putLe16(std::vector<uint8_t>& out, uint32_t value);
void putLe32(std::vector<uint8_t>& out, uint32_t value);
void putBe16(std::vector<uint8_t>& out, uint32_t value);
void putBe32(std::vector<uint8_t>& out, uint32_t value);
void putText(std::vector<uint8_t>& out, const char* text);

}  // namespace testkit

// Ends the test when it cannot run tool: a skip, or a failure where
// ZED_REQUIRE_TOOLS=1 (see needTool).
#define ZED_REQUIRE_TOOL(tool)                                          \
  do {                                                                  \
    if (!testkit::needTool(tool)) GTEST_SKIP() << tool " is not available here"; \
  } while (0)
