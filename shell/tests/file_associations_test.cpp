#include "shell/file_associations.h"

#include <gtest/gtest.h>

#include "shell/file_types.h"

namespace {

using sys::RegistryHive;
using sys::RegistryValue;
constexpr auto kClasses = RegistryHive::ClassesRoot;
const std::string kProgram = "C:\\Program Files\\Razavo\\razavo.exe";

// A ".wav" owned by another player, as a system has it out of the box.
void registerOtherPlayer(sys::Registry& registry) {
  registry.writeText(kClasses, ".wav", "", "Player.wav");
  registry.writeText(kClasses, "Player.wav", "", "Wave Sound");
  registry.writeValue(kClasses, "Player.wav\\DefaultIcon", "",
                      RegistryValue{sys::kRegistryExpandText, "%SystemRoot%\\player.exe,-120"});
  registry.writeText(kClasses, "Player.wav\\shell", "", "play");
  registry.writeText(kClasses, "Player.wav\\shell\\open\\command", "", "\"C:\\player.exe\" /open \"%1\"");
  registry.writeText(kClasses, "Player.wav\\shell\\open", "LegacyDisable", "");
  registry.writeText(kClasses, "Player.wav\\shell\\open\\DropTarget", "CLSID", "{1234}");
}

struct Snapshot {
  std::optional<RegistryValue> values[7];
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const sys::Registry& registry) {
  return {{registry.readValue(kClasses, "Player.wav", ""), registry.readValue(kClasses, "Player.wav\\DefaultIcon", ""),
           registry.readValue(kClasses, "Player.wav\\shell", ""),
           registry.readValue(kClasses, "Player.wav\\shell\\open\\command", ""),
           registry.readValue(kClasses, "Player.wav\\shell\\open", "LegacyDisable"),
           registry.readValue(kClasses, "Player.wav\\shell\\open\\DropTarget", "CLSID"),
           registry.readValue(kClasses, ".wav", "")}};
}

TEST(FileAssociations, AnotherProgramsClassIsTakenOverAndGivenBackWhole) {
  auto registry = sys::makeMemoryRegistry();
  registerOtherPlayer(*registry);
  Snapshot before = snapshotOf(*registry);
  int changes = 0;
  shell::FileAssociations associations(*registry, [&] { ++changes; });

  ASSERT_FALSE(associations.isAssociated(".wav", kProgram));
  ASSERT_TRUE(associations.associate(".wav", kProgram));
  EXPECT_TRUE(associations.isAssociated(".wav", kProgram));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(registry->readText(kClasses, ".wav", ""), "Player.wav");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav", ""), "Razavo File");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\DefaultIcon", ""), kProgram + ",0");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell", ""), "Open");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell\\open\\command", ""),
            "\"C:\\Program Files\\Razavo\\razavo.exe\" \"%L\"");
  EXPECT_FALSE(registry->readValue(kClasses, "Player.wav\\shell\\open", "LegacyDisable"));
  EXPECT_FALSE(registry->readValue(kClasses, "Player.wav\\shell\\open\\DropTarget", "CLSID"));
  // The icon's backup keeps its type, so that it still expands once restored.
  EXPECT_EQ(registry->readValue(kClasses, "Player.wav\\DefaultIcon", "Razavo.BAK"),
            (RegistryValue{sys::kRegistryExpandText, "%SystemRoot%\\player.exe,-120"}));
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell\\open\\command", "Razavo.BAK"),
            "\"C:\\player.exe\" /open \"%1\"");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell\\open\\DropTarget", "Razavo.BAK"), "{1234}");

  // A second association must not back up our own values over the player's.
  ASSERT_TRUE(associations.associate(".wav", kProgram));
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\shell\\open\\command", "Razavo.BAK"),
            "\"C:\\player.exe\" /open \"%1\"");
  EXPECT_EQ(registry->readText(kClasses, "Player.wav", "Razavo.BAK"), "Wave Sound");

  ASSERT_TRUE(associations.removeAssociation(".wav", kProgram));
  EXPECT_FALSE(associations.isAssociated(".wav", kProgram));
  EXPECT_TRUE(snapshotOf(*registry) == before);
  for (const char* key : {"Player.wav", "Player.wav\\DefaultIcon", "Player.wav\\shell",
                          "Player.wav\\shell\\open\\command", "Player.wav\\shell\\open",
                          "Player.wav\\shell\\open\\DropTarget"})
    EXPECT_FALSE(registry->readValue(kClasses, key, "Razavo.BAK")) << key;
}

TEST(FileAssociations, AnExtensionWithoutAClassGetsOneNamedAfterItAndLosesItAgain) {
  for (bool keyExists : {false, true}) {
    auto registry = sys::makeMemoryRegistry();
    if (keyExists) {
      registry->writeText(kClasses, ".vox", "", "");
      registry->writeText(kClasses, ".vox", "Content Type", "audio/voxware");
    }
    shell::FileAssociations associations(*registry);
    ASSERT_TRUE(associations.associate(".vox", kProgram));
    EXPECT_EQ(registry->readText(kClasses, ".vox", ""), "voxfile");
    EXPECT_TRUE(associations.isAssociated(".vox", kProgram));
    EXPECT_FALSE(registry->readValue(kClasses, "voxfile\\shell\\open\\command", "Razavo.BAK"));

    // Nothing was there to restore: what we wrote goes, so the files do not
    // go on opening with a program that may be gone.
    ASSERT_TRUE(associations.removeAssociation(".vox", kProgram));
    EXPECT_FALSE(registry->keyExists(kClasses, "voxfile"));
    EXPECT_FALSE(registry->readValue(kClasses, ".vox", "").has_value() &&
                 !registry->readValue(kClasses, ".vox", "")->data.empty());
    EXPECT_EQ(registry->keyExists(kClasses, ".vox"), keyExists) << keyExists;
  }
}

TEST(FileAssociations, RemovingLeavesValuesThatChangedSinceAlone) {
  auto registry = sys::makeMemoryRegistry();
  shell::FileAssociations associations(*registry);
  ASSERT_TRUE(associations.associate(".ogg", kProgram));
  registry->writeText(kClasses, "oggfile\\shell\\open\\command", "", "\"C:\\later.exe\" \"%1\"");
  ASSERT_TRUE(associations.removeAssociation(".ogg", kProgram));
  EXPECT_EQ(registry->readText(kClasses, "oggfile\\shell\\open\\command", ""), "\"C:\\later.exe\" \"%1\"");
  EXPECT_EQ(registry->readText(kClasses, ".ogg", ""), "oggfile");
  EXPECT_FALSE(registry->readValue(kClasses, "oggfile\\DefaultIcon", ""));
}

TEST(FileAssociations, VerbsGoOnTheClassAndLeaveNothingBehind) {
  auto registry = sys::makeMemoryRegistry();
  registerOtherPlayer(*registry);
  shell::FileAssociations associations(*registry);
  ASSERT_TRUE(associations.addVerb(".wav", "Edit with Razavo", "\"C:\\Razavo\\razavo.exe\""));
  ASSERT_TRUE(associations.addVerb(".amr", "Edit with Razavo", "C:\\razavo.exe"));
  EXPECT_EQ(registry->readText(kClasses, "Player.wav\\Shell\\Edit with Razavo\\command", ""),
            "\"C:\\Razavo\\razavo.exe\" \"%L\"");
  EXPECT_EQ(registry->readText(kClasses, "amrfile\\Shell\\Edit with Razavo\\command", ""), "C:\\razavo.exe \"%L\"");

  ASSERT_TRUE(associations.removeVerb(".wav", "Edit with Razavo"));
  ASSERT_TRUE(associations.removeVerb(".amr", "Edit with Razavo"));
  EXPECT_FALSE(registry->keyExists(kClasses, "Player.wav\\Shell\\Edit with Razavo"));
  EXPECT_TRUE(registry->keyExists(kClasses, "Player.wav\\shell\\open\\command"));
  EXPECT_FALSE(registry->keyExists(kClasses, "amrfile"));
  EXPECT_FALSE(registry->keyExists(kClasses, ".amr"));
  // Removing a verb that is not there is no failure.
  EXPECT_TRUE(associations.removeVerb(".mp3", "Edit with Razavo"));
}

TEST(FileTypes, ClassNamesComeFromTheExtensionOrItsName) {
  auto registry = sys::makeMemoryRegistry();
  registry->writeText(kClasses, ".mp3", "", "Player.mp3");
  registry->writeText(kClasses, ".aac", "", "");
  EXPECT_EQ(shell::classNameOf(*registry, ".mp3"), "Player.mp3");
  EXPECT_EQ(shell::classNameOf(*registry, ".aac"), "aacfile");
  EXPECT_EQ(shell::classNameOf(*registry, ".mpeg"), "mpegfile");
  EXPECT_EQ(shell::kSoundExtensions.front(), std::string(".wav"));
  EXPECT_EQ(shell::kSoundExtensions.back(), std::string(".wmv"));
}

}  // namespace

namespace {

TEST(FileAssociations, AnExtensionNamingAnotherClassOnlyThroughUsGetsItsOwnValueBack) {
  auto registry = sys::makeMemoryRegistry();
  // A class the system knows by its shell name, but no extension names it.
  registry->writeText(kClasses, "avifile", "", "Video Clip");
  shell::FileAssociations associations(*registry);
  ASSERT_TRUE(associations.addVerb(".avi", shell::kEditVerb, "razavo.exe"));
  ASSERT_TRUE(associations.addVerb(".avi", shell::kBatchVerb, "razavo.exe -batch"));
  ASSERT_TRUE(associations.associate(".avi", kProgram));
  EXPECT_EQ(registry->readText(kClasses, ".avi", ""), "avifile");

  // While a verb of ours is left the extension keeps naming the class.
  ASSERT_TRUE(associations.removeAssociation(".avi", kProgram));
  ASSERT_TRUE(associations.removeVerb(".avi", shell::kEditVerb));
  EXPECT_EQ(registry->readText(kClasses, ".avi", ""), "avifile");
  ASSERT_TRUE(associations.removeVerb(".avi", shell::kBatchVerb));
  EXPECT_FALSE(registry->keyExists(kClasses, ".avi"));
  EXPECT_EQ(registry->readText(kClasses, "avifile", ""), "Video Clip");
  EXPECT_FALSE(registry->keyExists(kClasses, "avifile\\Shell"));
}

}  // namespace
