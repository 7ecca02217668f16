#include "recorder/model/backup_plan.h"

#include <gtest/gtest.h>

#include <set>

#include "sys/folders.h"

namespace recorder {
namespace {

std::string in(const std::string& folder, const std::string& name) { return sys::joinPath(folder, name); }

TEST(BackupPlan, EachRecordingUnderItsOwnNameWithTheCompressionsExtension) {
  auto none = [](const std::string&) { return false; };
  const std::vector<std::string> sources = {in("C:\\Rec", "Take 1.wav"), in("C:\\Rec", "Call.mp3")};
  BackupPlan gsm = planBackup(sources, "D:\\Backup", BackupCompression::Gsm, none);
  ASSERT_EQ(gsm.items.size(), 2u);
  EXPECT_EQ(gsm.items[0].target, in("D:\\Backup", "Take 1.gsm"));
  EXPECT_EQ(gsm.items[1].target, in("D:\\Backup", "Call.gsm"));
  EXPECT_TRUE(gsm.refused.empty());
  EXPECT_EQ(planBackup(sources, "D:\\Backup", BackupCompression::Mp3At16, none).items[0].target,
            in("D:\\Backup", "Take 1.mp3"));
  EXPECT_EQ(planBackup(sources, "D:\\Backup", BackupCompression::WavGsm, none).items[1].target,
            in("D:\\Backup", "Call.wav"));
}

TEST(BackupPlan, ATargetThatIsASelectedRecordingIsRefused) {
  auto none = [](const std::string&) { return false; };
  // Backing up into the recordings' own folder as WAV would write over Take 1.wav.
  const std::vector<std::string> sources = {in("C:\\Rec", "Take 1.wav"), in("C:\\Rec", "Call.mp3")};
  BackupPlan plan = planBackup(sources, "c:\\rec", BackupCompression::WavGsm, none);
  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_EQ(plan.refused[0], sources[0]);
  ASSERT_EQ(plan.items.size(), 1u);
  EXPECT_EQ(plan.items[0].source, sources[1]);
  EXPECT_EQ(plan.items[0].target, in("c:\\rec", "Call.wav"));
}

TEST(BackupPlan, RecordingsThatMapToOneNameGetASuffixAndNeverASelectedName) {
  auto none = [](const std::string&) { return false; };
  const std::vector<std::string> sources = {in("C:\\Rec", "Take.wav"), in("C:\\Rec", "Take.mp3"),
                                            in("C:\\Rec", "take.aif"), in("D:\\Out", "Take (2).wav")};
  BackupPlan plan = planBackup(sources, "D:\\Out", BackupCompression::Mp3At8, none);
  ASSERT_EQ(plan.items.size(), 4u);
  EXPECT_EQ(plan.items[0].target, in("D:\\Out", "Take.mp3"));
  EXPECT_EQ(plan.items[1].target, in("D:\\Out", "Take (2).mp3"));
  EXPECT_EQ(plan.items[2].target, in("D:\\Out", "take (3).mp3"));
  EXPECT_EQ(plan.items[3].target, in("D:\\Out", "Take (2) (2).mp3"));
  std::set<std::string> targets;
  for (const auto& item : plan.items) targets.insert(item.target);
  EXPECT_EQ(targets.size(), 4u);
}

TEST(BackupPlan, AnExistingTargetIsMarkedForTheQuestion) {
  const std::string old = in("D:\\Out", "Take 1.gsm");
  auto exists = [&](const std::string& path) { return path == old; };
  BackupPlan plan = planBackup({in("C:\\Rec", "Take 1.wav"), in("C:\\Rec", "Take 2.wav")}, "D:\\Out",
                               BackupCompression::Gsm, exists);
  ASSERT_EQ(plan.items.size(), 2u);
  EXPECT_TRUE(plan.items[0].replaces);
  EXPECT_FALSE(plan.items[1].replaces);
}

TEST(BackupCompressionList, NamesExtensionsAndStoredIndex) {
  EXPECT_STREQ(backupCompressionName(BackupCompression::WavGsm), "WAV: (GSM 6.10) 4kb/sec");
  EXPECT_STREQ(backupExtension(BackupCompression::Mp3At8), ".mp3");
  EXPECT_EQ(backupCompressionFromIndex(1), BackupCompression::Mp3At8);
  EXPECT_EQ(backupCompressionFromIndex(7), BackupCompression::WavGsm);
  EXPECT_EQ(backupCompressionFromIndex(-1), BackupCompression::WavGsm);
}

}  // namespace
}  // namespace recorder
