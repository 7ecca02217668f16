#include "recorder/model/recorder_command_line.h"

#include <gtest/gtest.h>

#include "formats/wave_format.h"
#include "recorder/model/recorder_format.h"

namespace {

using namespace recorder;
using Args = std::vector<std::string>;

// The kinds of the actions, as letters, for compact expectations.
std::string kinds(const std::vector<RecorderAction>& actions) {
  static const char* const names[] = {"Record", "RecordFile", "Resume", "Pause",   "Restart",     "Done",   "Exit",
                                      "ExitIfStop", "Hide",   "Show",   "ShowButtons", "Play", "OutDir", "StopAfter",
                                      "Logon"};
  std::string text;
  for (const auto& action : actions) text += std::string(text.empty() ? "" : " ") + names[action.kind];
  return text;
}

std::vector<RecorderAction> parse(const Args& args) {
  Args line{"C:\\rezara.exe"};
  line.insert(line.end(), args.begin(), args.end());
  return parseRecorderCommandLine(line, Mp3EncoderSettings{});
}

TEST(RecorderCommandLine, SwitchesInOrderIgnoringCase) {
  auto actions = parse({"-RESUME", "-Pause", "-restart", "-done", "-exit", "-ExitIfStop", "-hide", "-show", "-logon",
                        "stray", "-unknown", "-play", "C:\\r\\a.wav", "-outdir", "D:\\Rec", "-ms", "5000"});
  EXPECT_EQ(kinds(actions),
            "Resume Pause Restart Done Exit ExitIfStop Hide Show Logon Play OutDir StopAfter");
  EXPECT_EQ(actions[9].path, "C:\\r\\a.wav");
  EXPECT_EQ(actions[10].path, "D:\\Rec");
  EXPECT_EQ(actions[11].milliseconds, 5000);
}

TEST(RecorderCommandLine, SwitchesLackingTheirArgumentAreSkipped) {
  EXPECT_EQ(kinds(parse({"-play"})), "");
  EXPECT_EQ(kinds(parse({"-outdir", "-done"})), "Done");
  EXPECT_EQ(kinds(parse({"-ms", "soon", "-exit"})), "Exit");
  EXPECT_EQ(kinds(parse({"-recordfile"})), "");
  EXPECT_EQ(kinds(parse({"-showbtn", "all", "-hide"})), "Hide");
  EXPECT_EQ(kinds(parse({"-record", "-done"})), "Record Done");
  EXPECT_EQ(parse({"-record", "ogg"})[0].format, -1);
}

TEST(RecorderCommandLine, ButtonSwitches) {
  struct Case {
    const char* word;
    int from, to;
  } cases[] = {{"showall", 0, 63}, {"HideAll", 63, 0}, {"r", 63, 62}, {"p", 63, 59}, {"t", 0, 2}, {"S", 1, 9}};
  for (const auto& c : cases) {
    auto actions = parse({"-showbtn", c.word});
    ASSERT_EQ(kinds(actions), "ShowButtons") << c.word;
    EXPECT_EQ(actions[0].applyButtons(c.from), c.to) << c.word;
  }
}

TEST(RecorderCommandLine, WaveFormatOptions) {
  auto actions = parse({"-record", "wav", "-s", "22050", "-m", "1", "-b", "8", "-done"});
  ASSERT_EQ(kinds(actions), "Record Done");
  EXPECT_EQ(actions[0].format, kWav);
  EXPECT_EQ(actions[0].wave, (WaveOptions{22050, 1, 8}));

  // Each pair may be left out, but they come in this order.
  actions = parse({"-record", "WAV", "-b", "24", "-s", "8000"});
  EXPECT_EQ(actions[0].wave, (WaveOptions{0, 0, 24}));
  EXPECT_EQ(kinds(actions), "Record");  // "-s" out of order is no switch of its own

  actions = parse({"-recordfile", "D:\\x\\Take.Wav", "-m", "1"});
  ASSERT_EQ(kinds(actions), "RecordFile");
  EXPECT_EQ(actions[0].path, "D:\\x\\Take.Wav");
  EXPECT_EQ(actions[0].format, kWav);
  EXPECT_EQ(actions[0].wave, (WaveOptions{0, 1, 0}));
  EXPECT_EQ(parse({"-recordfile", "D:\\x.y\\take.aif"})[0].format, kAiff);
  EXPECT_EQ(parse({"-recordfile", "D:\\x.wav\\take"})[0].format, -1);
}

TEST(RecorderCommandLine, WaveRecordFromTheOptions) {
  auto record = waveRecordFor(WaveOptions{22050, 1, 0}, std::nullopt);
  ASSERT_TRUE(record);
  WaveFormat format;
  format.loadFields(record->data());
  EXPECT_EQ(format.tag, kWaveFormatPcm);
  EXPECT_EQ(format.sampleRate, 22050u);
  EXPECT_EQ(format.channels, 1);
  EXPECT_EQ(format.bitsPerSample, 16);
  EXPECT_EQ(format.blockAlign, 2);
  EXPECT_EQ(format.averageBytesPerSecond, 44100u);

  // Values not given keep a stored PCM choice.
  auto kept = waveRecordFor(WaveOptions{0, 0, 8}, pcmWaveRecord(1, 11025, 16, 18));
  ASSERT_TRUE(kept);
  format.loadFields(kept->data());
  EXPECT_EQ(format.sampleRate, 11025u);
  EXPECT_EQ(format.bitsPerSample, 8);

  EXPECT_FALSE(waveRecordFor(WaveOptions{44100, 2, 12}, std::nullopt));
  EXPECT_FALSE(waveRecordFor(WaveOptions{0, 7, 0}, std::nullopt));
  EXPECT_FALSE(waveRecordFor(WaveOptions{5, 0, 0}, std::nullopt));
}

TEST(RecorderCommandLine, Mp3Options) {
  auto actions = parse({"-record", "mp3", "-cbr", "-b", "192", "-h", "-m", "m", "-p", "-done"});
  ASSERT_EQ(kinds(actions), "Record Done");
  ASSERT_TRUE(actions[0].mp3);
  const Mp3EncoderSettings& cbr = *actions[0].mp3;
  EXPECT_TRUE(cbr.constantBitRate);
  EXPECT_EQ(cbr.cbrBitRate, 192);
  EXPECT_TRUE(cbr.highQuality);
  EXPECT_EQ(cbr.channelMode, 3);
  EXPECT_TRUE(cbr.errorProtection);

  actions = parse({"-record", "mp3", "-vbr", "-b", "64", "-B", "256", "-q", "2", "-m", "f", "-exit"});
  ASSERT_EQ(kinds(actions), "Record Exit");
  const Mp3EncoderSettings& vbr = *actions[0].mp3;
  EXPECT_FALSE(vbr.constantBitRate);
  EXPECT_EQ(vbr.vbrMinBitRate, 64);
  EXPECT_EQ(vbr.vbrMaxBitRate, 256);
  EXPECT_EQ(vbr.vbrQuality, 2);
  EXPECT_EQ(vbr.channelMode, 2);
  EXPECT_FALSE(vbr.errorProtection);  // any other word turns it off

  // A word that is no channel mode is left for what follows.
  actions = parse({"-record", "mp3", "-cbr", "-m", "-done"});
  EXPECT_EQ(kinds(actions), "Record Done");
  EXPECT_EQ(actions[0].mp3->channelMode, Mp3EncoderSettings{}.channelMode);

  // Without "-cbr" or "-vbr" the settings stay as they are.
  EXPECT_FALSE(parse({"-record", "mp3", "-b", "128"})[0].mp3);
}

}  // namespace
