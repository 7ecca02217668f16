#include "recorder/model/recorder_settings.h"

#include <gtest/gtest.h>

#include "recorder/model/recorder_format.h"
#include "formats/wave_format.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using namespace recorder;

TEST(RecorderSettings, DefaultsAndSwitchesAsStored) {
  auto store = sys::makeMemorySettingsStore();
  RecorderSettings settings(*store, "D:\\Docs\\Rezara");
  EXPECT_TRUE(settings.recordTone());
  EXPECT_FALSE(settings.intervalTone());
  EXPECT_EQ(settings.intervalSecs(), 30);
  EXPECT_EQ(settings.voiceActivateLevel(), -18);
  EXPECT_EQ(settings.maxTime(), "1:00:00");
  EXPECT_TRUE(settings.stopReachMaxTime());
  EXPECT_EQ(settings.warnSpaceBelow(), 200);
  EXPECT_EQ(settings.showButtons(), 63);
  EXPECT_EQ(settings.outputFolder(), "D:\\Docs\\Rezara");
  EXPECT_EQ(settings.fileNameFormat(), "Untitled %autonumber%");
  EXPECT_EQ(settings.autoNumber(), 1);
  EXPECT_EQ(settings.format(), kWav);

  // Any first character other than "0" is on; empty is the default.
  struct Case {
    const char* stored;
    bool on;
  } cases[] = {{"1", true}, {"yes", true}, {"0", false}, {"00", false}, {"", true}, {" 0", true}};
  for (const auto& c : cases) {
    store->write(kSettingsSection, "RecordTone", c.stored);
    EXPECT_EQ(settings.recordTone(), c.on) << c.stored;
  }
  store->write(kSettingsSection, "IntervalSecs", "lots");
  EXPECT_EQ(settings.intervalSecs(), 30);
  store->write(kSettingsSection, "IntervalSecs", "99999999999");
  EXPECT_EQ(settings.intervalSecs(), 30);

  settings.setCheckMaxTime(true);
  EXPECT_EQ(store->read(kSettingsSection, "CheckMaxTime", ""), "1");
  Mp3EncoderSettings mp3;
  mp3.cbrBitRate = 256;
  settings.setMp3Settings(mp3);
  EXPECT_EQ(settings.mp3Settings().cbrBitRate, 256);
}

TEST(RecorderSettings, HotKeysKeepTheirOrderAndDropTheRest) {
  auto store = sys::makeMemorySettingsStore();
  RecorderSettings settings(*store, "");
  EXPECT_TRUE(settings.hotKeys().empty());
  std::vector<HotKey> keys{{kHotKeyCtrl | 0x74, HotKeyCommand::Record},
                           {kHotKeyAlt | kHotKeyShift | 'P', HotKeyCommand::Pause},
                           {0x77, HotKeyCommand::RecordingsList}};
  settings.setHotKeys(keys);
  EXPECT_EQ(store->read(kKeysSection, "Count", ""), "3");
  EXPECT_EQ(store->read(kKeysSection, "Key0", ""), std::to_string(0x20074));
  EXPECT_EQ(store->read(kKeysSection, "Key1Command", ""), "1");
  EXPECT_EQ(settings.hotKeys(), keys);

  settings.setHotKeys({keys[1]});
  EXPECT_EQ(settings.hotKeys(), std::vector<HotKey>{keys[1]});
  EXPECT_EQ(store->read(kKeysSection, "Key2", "gone"), "gone");

  // Entries naming no command, and absurd counts, are not trusted.
  store->write(kKeysSection, "Count", "3");
  store->write(kKeysSection, "Key1", "65");
  store->write(kKeysSection, "Key1Command", "9");
  store->write(kKeysSection, "Key2", "66");
  store->write(kKeysSection, "Key2Command", "3");
  EXPECT_EQ(settings.hotKeys(), (std::vector<HotKey>{keys[1], {66, HotKeyCommand::StopAndMarkDone}}));
  store->write(kKeysSection, "Count", "-4");
  EXPECT_TRUE(settings.hotKeys().empty());

  EXPECT_EQ(hotKeyModifierText(kHotKeyCtrl | kHotKeyAlt | kHotKeyShift | 'K'), "Ctrl+Alt+Shift+");
  EXPECT_EQ(hotKeyModifierText('K'), "");
}

TEST(RecorderSettings, DefaultOutputFolderIsFormedAndCreated) {
  testkit::ScratchFolder scratch;
  std::string docs = scratch.file("docs"), data = scratch.file("data");
  ASSERT_TRUE(sys::createFolder(docs));
  std::string folder = formDefaultOutputFolder(docs, "", data);
  EXPECT_EQ(folder, sys::joinPath(docs, "Rezara"));
  EXPECT_TRUE(sys::folderExists(folder));
  EXPECT_EQ(formDefaultOutputFolder("", "", data), sys::joinPath(data, "Rezara"));
  EXPECT_EQ(runAtLogonCommand("C:\\Program Files\\Rezara\\rezara.exe"),
            "\"C:\\Program Files\\Rezara\\rezara.exe\" -logon");
}

TEST(RecorderSettings, TemplatesTakeTheirValueAsPlainText) {
  EXPECT_EQ(substituteText("\"C:\\Tools\\send.exe\" %s", "D:\\Rec\\Take %d %s 100%.wav"),
            "\"C:\\Tools\\send.exe\" D:\\Rec\\Take %d %s 100%.wav");
  EXPECT_EQ(substituteText("copy %s %s", "a"), "copy a a");
  EXPECT_EQ(substituteText("%n%x%", "a"), "%n%x%");
  EXPECT_EQ(substituteText("", "a"), "");
}

TEST(RecorderFormats, TableAndDescriptions) {
  EXPECT_STREQ(recorderFormat(kAiff)->extension, ".aif");
  EXPECT_STREQ(recorderFormat(kMp3)->label, "Mp3");
  EXPECT_EQ(recorderFormat(3), nullptr);
  EXPECT_EQ(recorderFormat(-1), nullptr);
  EXPECT_EQ(recorderFormatOfPath("C:\\a\\b.MP3"), kMp3);
  EXPECT_EQ(recorderFormatOfPath("C:\\a\\b.aiff"), -1);

  Mp3EncoderSettings mp3;
  EXPECT_EQ(formatDescription(kWav, pcmWaveRecord(1, 22050, 16, 18), mp3), "22050Hz  Mono  Wav");
  EXPECT_EQ(formatDescription(kWav, std::nullopt, mp3), "44100Hz  Stereo  Wav");
  mp3.constantBitRate = true;
  mp3.cbrBitRate = 160;
  mp3.channelMode = 1;
  EXPECT_EQ(formatDescription(kMp3, std::nullopt, mp3), "160KBps Joint Mp3");
  mp3.constantBitRate = false;
  mp3.vbrMinBitRate = 32;
  mp3.vbrMaxBitRate = 224;
  mp3.channelMode = 2;
  EXPECT_EQ(formatDescription(kMp3, std::nullopt, mp3), "32-224Kbps  Force  Mp3");
  EXPECT_EQ(formatDescription(kAiff, std::nullopt, mp3), "44100Hz  Stereo  AIFF");
}

}  // namespace
