#include "recorder/model/recordings_list.h"

#include <gtest/gtest.h>

#include <set>

#include "sys/folders.h"

namespace recorder {
namespace {

TEST(RecordingRows, OnlyTheRecordersFormatsWithTheirLabelsDateAndSize) {
  const FileStamp stamp{2024, 3, 5, 9, 4, 7};
  auto wav = recordingRow("Take 1.wav", stamp, 2047);
  ASSERT_TRUE(wav);
  EXPECT_EQ(wav->name, "Take 1.wav");
  EXPECT_EQ(wav->format, "Wav");
  EXPECT_EQ(wav->created, "2024-03-05 09:04:07");
  EXPECT_EQ(wav->size, "1 KB");  // rounded down
  EXPECT_EQ(recordingRow("Loud.MP3", stamp, 0)->format, "Mp3");
  EXPECT_EQ(recordingRow("Loud.MP3", stamp, 0)->size, "0 KB");
  EXPECT_EQ(recordingRow("old.aif", stamp, 5ull << 40)->format, "AIFF");
  EXPECT_EQ(recordingRow("old.aif", stamp, 5ull << 40)->size, "5368709120 KB");  // beyond 32 bits
  for (const char* other : {".", "..", "notes.txt", "Take.wav.bak", "noextension", "clip.ogg"})
    EXPECT_FALSE(recordingRow(other, stamp, 10)) << other;
}

TEST(RecordingRename, EmptyNamesAndTakenNamesAreRefused) {
  std::set<std::string> files = {renamedPath("C:\\Rec", "Taken", ".wav"), renamedPath("C:\\Rec", "Other", ".mp3")};
  auto exists = [&](const std::string& path) { return files.count(path) > 0; };
  EXPECT_EQ(checkRename("C:\\Rec", "", ".wav", exists), RenameCheck::Empty);
  EXPECT_EQ(checkRename("C:\\Rec", "   ", ".wav", exists), RenameCheck::Empty);
  EXPECT_EQ(checkRename("C:\\Rec", "Taken", ".wav", exists), RenameCheck::Exists);
  // The same name in another format is free.
  EXPECT_EQ(checkRename("C:\\Rec", "Other", ".wav", exists), RenameCheck::Fine);
  EXPECT_EQ(sys::fileNameOf(renamedPath("C:\\Rec", "Other", ".wav")), "Other.wav");
}

TEST(RecordingListPlacement, KeptAndDamagedValuesIgnored) {
  auto store = sys::makeMemorySettingsStore();
  EXPECT_EQ(readListPlacement(*store).width, 0);
  writeListPlacement(*store, {true, 640, 480});
  ListPlacement back = readListPlacement(*store);
  EXPECT_TRUE(back.maximized);
  EXPECT_EQ(back.width, 640);
  EXPECT_EQ(back.height, 480);
  store->write("PlayListDialog", "Width", "-5");
  EXPECT_EQ(readListPlacement(*store).width, 0);
  EXPECT_EQ(readListPlacement(*store).height, 0);
}

}  // namespace
}  // namespace recorder
