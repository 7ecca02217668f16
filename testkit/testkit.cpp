#include "testkit/testkit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sys/folders.h"

namespace testkit {

namespace {

std::string scratchRoot() {
  const char* configured = std::getenv("ZED_TEST_TMP");
  std::string root = configured && *configured ? configured : sys::tempFolder() + "/zed-tests";
  sys::createFolder(root);
  return root;
}

// The folder with everything in it, folders made by the test included, so
// that the next run of the test starts empty.
void removeTree(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(folder), ignored);
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (char& c : name)
    if (c == '/' || c == '\\') c = '_';
  m_path = sys::joinPath(scratchRoot(), name + "." + std::to_string(counter++));
  removeTree(m_path);
  sys::createFolder(m_path);
}

ScratchFolder::~ScratchFolder() {
  if (!std::getenv("ZED_KEEP_SCRATCH")) removeTree(m_path);
}

std::string ScratchFolder::file(const std::string& name) const { return sys::joinPath(m_path, name); }

bool needTool(const std::string& tool) {
  if (haveTool(tool)) return true;
  const char* required = std::getenv("ZED_REQUIRE_TOOLS");
  if (hostToolsRunHere() && required && std::string(required) == "1")
    ADD_FAILURE() << tool << " is required (ZED_REQUIRE_TOOLS=1) but is not on PATH";
  return false;
}

std::vector<uint8_t> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<int16_t> readPcm16(const std::string& path) {
  auto bytes = readAll(path);
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return samples;
}

std::vector<int32_t> readPcm32(const std::string& path) {
  auto bytes = readAll(path);
  std::vector<int32_t> samples(bytes.size() / 4);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int32_t>(uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
                                      uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24);
  return samples;
}

void putLe16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}
void putLe32(std::vector<uint8_t>& out, uint32_t value) {
  putLe16(out, value & 0xFFFF);
  putLe16(out, value >> 16);
}
void putBe16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back((value >> 8) & 0xFF);
  out.push_back(value & 0xFF);
}
void putBe32(std::vector<uint8_t>& out, uint32_t value) {
  putBe16(out, value >> 16);
  putBe16(out, value & 0xFFFF);
}
void putText(std::vector<uint8_t>& out, const char* text) {
  while (*text) out.push_back(static_cast<uint8_t>(*text++));
}

}  // namespace testkit
