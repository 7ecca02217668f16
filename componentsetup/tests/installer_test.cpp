// The component installers as built, run under Wine: where they install,
// where they register, what they show and how they end.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>

#include "componentsetup/registry_text.h"
#include "installer_run.h"
#include "testkit/testkit.h"

namespace {

using componentsetup::readRegistryText;
using setuptest::runInstaller;

const std::wstring kComponentsKey = L"Software\\Zedirad\\Components";
const std::wstring kCurrentVersionKey = L"Software\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring windowsPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return wide(path);
}

std::vector<uint8_t> bytesOf(const std::wstring& path) {
  return testkit::readAll(std::string(path.begin(), path.end()));
}

// Puts a registry value back as it was (or removes it) when dropped.
class SavedValue {
 public:
  SavedValue(HKEY hive, std::wstring key, std::wstring name)
      : m_hive(hive), m_key(std::move(key)), m_name(std::move(name)) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(m_hive, m_key.c_str(), 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
      if (RegQueryValueExW(opened, m_name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        m_before = readRegistryText(m_hive, m_key, m_name);
      RegCloseKey(opened);
    }
  }
  ~SavedValue() {
    if (m_before) {
      componentsetup::writeRegistryTexts(m_hive, m_key, {{m_name.c_str(), *m_before}});
    } else {
      RegDeleteKeyValueW(m_hive, m_key.c_str(), m_name.c_str());
    }
  }
  void set(const std::wstring& text) { componentsetup::writeRegistryTexts(m_hive, m_key, {{m_name.c_str(), text}}); }

 private:
  HKEY m_hive;
  std::wstring m_key;
  std::wstring m_name;
  std::optional<std::wstring> m_before;
};

void forgetComponents() {
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    for (const wchar_t* name : {L"mp3el", L"testdec", L"lzdec"})
      RegDeleteTreeW(hive, (kComponentsKey + L"\\" + name).c_str());
}

class ComponentInstaller : public ::testing::Test {
 protected:
  void SetUp() override { forgetComponents(); }
  void TearDown() override { forgetComponents(); }

  // A folder the installer can write, and one it cannot: a path below a file.
  std::wstring writableFolder(const std::string& name) {
    std::filesystem::create_directories(scratch.file(name));
    return windowsPath(scratch.file(name));
  }
  std::wstring unwritableFolder(const std::string& name) {
    testkit::writeAll(scratch.file("blocker.txt"), {'x'});
    return windowsPath(scratch.file("blocker.txt")) + L"\\" + wide(name);
  }

  testkit::ScratchFolder scratch;
  SavedValue programFiles{HKEY_LOCAL_MACHINE, kCurrentVersionKey, L"ProgramFilesDir"};
  SavedValue appData{HKEY_CURRENT_USER, kShellFoldersKey, L"AppData"};
  const std::vector<uint8_t> payload = testkit::readAll(ZED_TEST_PAYLOAD);
  const std::wstring mp3elSetup = windowsPath(ZED_TEST_MP3EL_SETUP);
  const std::wstring testdecSetup = windowsPath(ZED_TEST_TESTDEC_SETUP);
};

TEST_F(ComponentInstaller, QuietInstallGoesToProgramFilesAndTheMachineHiveAndReplacesAnEarlierCopy) {
  ASSERT_FALSE(payload.empty());
  std::wstring base = writableFolder("pf");
  programFiles.set(base);
  std::wstring folder = base + L"\\Zedirad\\Components\\mp3el";
  std::wstring target = folder + L"\\mp3enc.exe";

  for (int round = 0; round < 2; ++round) {
    setuptest::InstallerRun run = runInstaller(mp3elSetup, L"1");
    EXPECT_EQ(run.exitCode, 0) << "round " << round;
    EXPECT_TRUE(run.messages.empty()) << "round " << round;
    EXPECT_EQ(bytesOf(target), payload) << "round " << round;
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\mp3el", L"Path"), target);
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\mp3el", L"Version"), L"1.00");
    EXPECT_EQ(readRegistryText(HKEY_CURRENT_USER, kComponentsKey + L"\\mp3el", L"Path"), L"");
    // Neither the write test's file nor the temporary copy stays behind.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(folder.begin(), folder.end())))
      left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"mp3enc.exe"});
    // A longer file at the target must be replaced, not overwritten in part.
    testkit::writeAll(std::string(target.begin(), target.end()), std::vector<uint8_t>(payload.size() * 2, 0xCC));
  }
}

TEST_F(ComponentInstaller, WithoutTheQuietSwitchTheCompletionMessageNamesTheComponent) {
  std::wstring base = writableFolder("pf");
  programFiles.set(base);
  struct Case {
    std::wstring installer;
    const wchar_t* text;
  };
  const Case cases[] = {
      {mp3elSetup, L"The component \"Mp3 Encoder\" has been installed successfully."},
      {windowsPath(ZED_MP3EL_SETUP), L"The component \"Mp3 Encoder\" has been installed successfully."},
      {testdecSetup, L"The component \"Test Decoder\" has been installed successfully."},
  };
  for (const Case& c : cases) {
    setuptest::InstallerRun run = runInstaller(c.installer, std::nullopt);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].caption, L"Installation Complete");
    EXPECT_EQ(run.messages[0].text, c.text);
  }
  EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\testdec", L"Path"),
            base + L"\\Zedirad\\Components\\testdec\\component_test_payload.exe");
}

TEST_F(ComponentInstaller, AProgramFilesFolderThatCannotBeWrittenSendsItToTheUsersAppData) {
  // The installer of the tests and the shipped mp3el-setup.exe with LAME.
  struct Case {
    std::wstring installer;
    std::vector<uint8_t> program;
  };
  const Case cases[] = {{mp3elSetup, payload}, {windowsPath(ZED_MP3EL_SETUP), testkit::readAll(ZED_MP3ENC_PROGRAM)}};
  for (const Case& c : cases) {
    forgetComponents();
    programFiles.set(unwritableFolder("pf"));
    std::wstring base = writableFolder("appdata");
    appData.set(base);
    std::wstring target = base + L"\\Zedirad\\Components\\mp3el\\mp3enc.exe";
    ASSERT_FALSE(c.program.empty());

    setuptest::InstallerRun run = runInstaller(c.installer, L"1");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(bytesOf(target), c.program);
    EXPECT_EQ(readRegistryText(HKEY_CURRENT_USER, kComponentsKey + L"\\mp3el", L"Path"), target);
    EXPECT_EQ(readRegistryText(HKEY_CURRENT_USER, kComponentsKey + L"\\mp3el", L"Version"), L"1.00");
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\mp3el", L"Path"), L"");
  }
}

TEST_F(ComponentInstaller, NoWritableFolderIsError1005EvenWhenQuiet) {
  programFiles.set(unwritableFolder("pf"));
  appData.set(unwritableFolder("appdata"));
  setuptest::InstallerRun run = runInstaller(mp3elSetup, L"1");
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].text, L"ERR#1005.");
  EXPECT_EQ(run.messages[0].caption, L"");
  EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\mp3el", L"Path"), L"");
  EXPECT_EQ(readRegistryText(HKEY_CURRENT_USER, kComponentsKey + L"\\mp3el", L"Path"), L"");
}

TEST_F(ComponentInstaller, AnLzCompressedProgramIsInstalledExpanded) {
  if (std::string(ZED_TEST_LZDEC_SETUP).empty()) GTEST_SKIP() << "built without mscompress";
  std::wstring base = writableFolder("pf");
  programFiles.set(base);
  setuptest::InstallerRun run = runInstaller(windowsPath(ZED_TEST_LZDEC_SETUP), L"1");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(bytesOf(base + L"\\Zedirad\\Components\\lzdec\\component_test_payload.exe"), payload);
}

// A program that cannot be replaced (here: held open without sharing, as a
// running copy would be) must not be registered as installed.
TEST_F(ComponentInstaller, AProgramThatCannotBeWrittenIsError1006AndStaysUnregistered) {
  std::wstring base = writableFolder("pf");
  programFiles.set(base);
  std::wstring folder = base + L"\\Zedirad\\Components\\mp3el";
  std::filesystem::create_directories(std::string(folder.begin(), folder.end()));
  HANDLE held = CreateFileW((folder + L"\\mp3enc.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  setuptest::InstallerRun run = runInstaller(mp3elSetup, L"1");
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].text, L"ERR#1006.");
  EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\mp3el", L"Path"), L"");
}

// Under a volatile key only volatile keys can be made, so the installer's
// (lasting) registration cannot be written there.
TEST_F(ComponentInstaller, ARegistrationThatCannotBeWrittenIsAFailureWithExitCode1) {
  std::wstring base = writableFolder("pf");
  programFiles.set(base);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComponentsKey.c_str());
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kComponentsKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);

  setuptest::InstallerRun run = runInstaller(testdecSetup, L"1");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComponentsKey.c_str());

  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].text, L"ERR#1007.");
  EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kComponentsKey + L"\\testdec", L"Path"), L"");
}

}  // namespace
