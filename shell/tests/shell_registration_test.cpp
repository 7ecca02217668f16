#include "shell/shell_registration.h"

#include <gtest/gtest.h>

#include "shell/file_types.h"

namespace {

using sys::RegistryHive;
constexpr auto kClasses = RegistryHive::ClassesRoot;
const std::string kProgram = "C:\\Program Files\\Razavo\\razavo.exe";

TEST(ShellRegistration, TemplatesAndVerbCommandsQuoteTheProgram) {
  EXPECT_EQ(shell::runEditTemplate(kProgram), "\"C:\\Program Files\\Razavo\\razavo.exe\" \"%s\" -runedit");
  EXPECT_EQ(shell::runLoadTemplate(kProgram), "\"C:\\Program Files\\Razavo\\razavo.exe\" %s -runedit");
  EXPECT_EQ(shell::batchVerbCommand(kProgram), "\"C:\\Program Files\\Razavo\\razavo.exe\" -batch");
  EXPECT_EQ(shell::editVerbCommand("C:\\Razavo\\razavo.exe"), "C:\\Razavo\\razavo.exe");
}

TEST(ShellRegistration, InstallThenUninstallLeavesTheRegistryAsItWas) {
  auto registry = sys::makeMemoryRegistry();
  registry->writeText(kClasses, ".wav", "", "Player.wav");
  registry->writeText(kClasses, "Player.wav\\shell\\open\\command", "", "player.exe \"%1\"");
  registry->writeText(RegistryHive::LocalMachine, "Software\\Zedirad\\Components\\mp3el", "Path", "C:\\mp3enc.exe");
  shell::FileAssociations associations(*registry);

  ASSERT_TRUE(shell::installShellIntegration(*registry, associations, kProgram));
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\Shell\\Edit with Razavo\\command", ""),
            "\"C:\\Program Files\\Razavo\\razavo.exe\" \"%L\"");
  EXPECT_EQ(registry->readText(kClasses, "wmvfile\\Shell\\Batch Convert with Razavo\\command", ""),
            "\"C:\\Program Files\\Razavo\\razavo.exe\" -batch \"%L\"");
  EXPECT_TRUE(registry->keyExists(kClasses, "vrpfile\\Shell\\Edit with Razavo"));
  EXPECT_FALSE(registry->keyExists(kClasses, "vrpfile\\Shell\\Batch Convert with Razavo"));
  EXPECT_EQ(registry->readText(RegistryHive::LocalMachine, shell::kEditorSettingsKey, "RunEdit"),
            shell::runEditTemplate(kProgram));
  // The user also chose to open ".mp3" and ".wav" files with the editor.
  ASSERT_TRUE(associations.associate(".mp3", kProgram));
  ASSERT_TRUE(associations.associate(".wav", kProgram));

  ASSERT_TRUE(shell::uninstallShellIntegration(*registry, associations, kProgram));
  EXPECT_EQ(registry->readText(kClasses, ".wav", ""), "Player.wav");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell\\open\\command", ""), "player.exe \"%1\"");
  EXPECT_FALSE(registry->keyExists(kClasses, "Player.wav\\Shell\\Edit with Razavo"));
  EXPECT_FALSE(registry->keyExists(kClasses, "Player.wav\\DefaultIcon"));
  for (const char* extension : shell::kSoundExtensions) {
    if (std::string(extension) == ".wav") continue;
    EXPECT_FALSE(registry->keyExists(kClasses, extension)) << extension;
    EXPECT_FALSE(registry->keyExists(kClasses, shell::defaultClassName(extension))) << extension;
  }
  EXPECT_FALSE(registry->keyExists(kClasses, ".vrp"));
  EXPECT_FALSE(registry->keyExists(RegistryHive::LocalMachine, "Software\\Zedirad\\Razavo"));
  EXPECT_EQ(registry->readText(RegistryHive::LocalMachine, "Software\\Zedirad\\Components\\mp3el", "Path"),
            "C:\\mp3enc.exe");
}

TEST(ShellRegistration, TheExplorerMenuComesAndGoesOnEverySoundType) {
  auto registry = sys::makeMemoryRegistry();
  shell::FileAssociations associations(*registry);
  ASSERT_TRUE(shell::setExplorerMenu(associations, kProgram, true));
  for (const char* extension : shell::kSoundExtensions)
    EXPECT_TRUE(registry->keyExists(kClasses, shell::defaultClassName(extension) + "\\Shell\\Edit with Razavo"));
  EXPECT_FALSE(registry->keyExists(kClasses, ".vrp"));
  ASSERT_TRUE(shell::setExplorerMenu(associations, kProgram, false));
  for (const char* extension : shell::kSoundExtensions) EXPECT_FALSE(registry->keyExists(kClasses, extension));
}

}  // namespace
