#include "formats/encoder_command_lines.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string kProgram = "C:\\Codecs\\enc.exe";
const std::string kOutput = "D:\\Out\\talk.mp3";
const std::string kHead = "\"C:\\Codecs\\enc.exe\"";
const std::string kTail = "\"D:\\Out\\talk.mp3\"";

Mp3EncoderSettings cbr(int kbps) {
  Mp3EncoderSettings settings;
  settings.cbrBitRate = kbps;
  settings.highQuality = false;
  return settings;
}
Mp3EncoderSettings vbr(int minimum, int maximum) {
  Mp3EncoderSettings settings;
  settings.constantBitRate = false;
  settings.vbrMinBitRate = minimum;
  settings.vbrMaxBitRate = maximum;
  return settings;
}

TEST(Mp3CommandLine, InputRatesSnapToTheRatesTheEncoderTakes) {
  struct Case { int32_t input; int high, low; int32_t expected; };
  const Case cases[] = {
      {96000, 64, 64, 48000},  {12000, 64, 64, 11025},  {22050, 200, 200, 44100},
      {44100, 128, 128, 44100}, {47999, 128, 128, 44100}, {48000, 128, 128, 48000},
      {32001, 128, 128, 44100}, {24001, 128, 128, 32000}, {24000, 128, 128, 24000},
      {22051, 128, 128, 22050}, {16001, 128, 128, 22050}, {16000, 128, 128, 16000},
      {8001, 128, 128, 11025},  {8000, 128, 128, 8000},   {6000, 128, 128, 8000},
      // A low minimum keeps the encoder at the half rates.
      {44100, 128, 24, 22050},  {96000, 128, 16, 22050},  {16000, 128, 24, 16000},
      // High rates need the full rates, whatever the minimum.
      {31999, 192, 32, 44100},  {32000, 192, 32, 32000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(mp3EncodingRate(c.input, c.high, c.low), c.expected) << c.input << " Hz, " << c.high << "/" << c.low;
}

TEST(Mp3CommandLine, CbrFromStereoGivesJointStereoAndLittleEndianRawInput) {
  Mp3EncoderSettings settings;  // the defaults: CBR 128, high quality, joint stereo
  EncoderInvocation line = mp3Invocation(kProgram, kOutput, 44100, 2, settings);
  EXPECT_EQ(line.commandLine,
            kHead + " -m j -b 128 -h -r --signed --little-endian -s 44.100 -S - " + kTail);
  EXPECT_EQ(line.sampleRate, 44100);
  EXPECT_EQ(line.channels, 2);
  // The byte-swapping switch would turn our samples into noise.
  EXPECT_EQ(line.commandLine.find(" -x"), std::string::npos);
}

TEST(Mp3CommandLine, LowBitRatesEncodeMono) {
  // VBR with a maximum below 24 kbps: mono, but two channels go in, so the
  // encoder mixes them down.
  EncoderInvocation vbrLow = mp3Invocation(kProgram, kOutput, 44100, 2, vbr(32, 16));
  EXPECT_EQ(vbrLow.channels, 2);
  EXPECT_NE(vbrLow.commandLine.find(" -a -m m -v -b 32 -B 16 -V 4 "), std::string::npos) << vbrLow.commandLine;
  // CBR 16 kbps: one channel goes in, mixed by us, and no -a.
  EncoderInvocation cbrLow = mp3Invocation(kProgram, kOutput, 44100, 2, cbr(16));
  EXPECT_EQ(cbrLow.channels, 1);
  EXPECT_EQ(cbrLow.sampleRate, 22050);
  EXPECT_EQ(cbrLow.commandLine, kHead + " -m m -b 16 -r --signed --little-endian -s 22.050 -S - " + kTail);
  // A mono sound is always mono mode.
  EXPECT_NE(mp3Invocation(kProgram, kOutput, 8000, 1, cbr(128)).commandLine.find(" -m m -b 128 "),
            std::string::npos);
  // A mono channel mode with stereo input asks for the mix-down.
  Mp3EncoderSettings forcedMono = cbr(128);
  forcedMono.channelMode = 3;
  EXPECT_NE(mp3Invocation(kProgram, kOutput, 44100, 2, forcedMono).commandLine.find(" -a -m m "), std::string::npos);
}

TEST(Mp3CommandLine, OptionsFollowTheSettings) {
  Mp3EncoderSettings settings = vbr(40, 256);
  settings.errorProtection = true;
  settings.channelMode = 2;
  settings.vbrQuality = 0;
  EXPECT_EQ(mp3Invocation(kProgram, kOutput, 11025, 2, settings).commandLine,
            kHead + " -m f -p -v -b 40 -B 256 -V 0 -r --signed --little-endian -s 44.100 -S - " + kTail);
  settings.channelMode = 9;  // out of range: joint stereo
  EXPECT_NE(mp3Invocation(kProgram, kOutput, 48000, 2, settings).commandLine.find(" -m j "), std::string::npos);
}

TEST(OggCommandLine, QualityAndBitRateModes) {
  OggEncoderSettings settings;  // quality 4, one channel
  EXPECT_EQ(oggInvocation(kProgram, kOutput, 44100, 2, settings).commandLine,
            kHead + " -C 2 -R 44100 --downmix -q 4 -Q - -o " + kTail);
  settings.channels = 2;
  settings.stripComments = true;
  EXPECT_EQ(oggInvocation(kProgram, kOutput, 48000, 2, settings).commandLine,
            kHead + " -C 2 -R 48000 -q 4 --discard-comments -Q - -o " + kTail);
  // Bit-rate mode caps the maximum at 4.5 kbps per channel and 1,000 Hz.
  settings = OggEncoderSettings{};
  settings.qualityMode = false;
  EXPECT_NE(oggInvocation(kProgram, kOutput, 8000, 1, settings).commandLine.find(" -m 36 -M 36 "),
            std::string::npos);
  settings.channels = 2;
  EXPECT_NE(oggInvocation(kProgram, kOutput, 22050, 2, settings).commandLine.find(" -m 96 -M 128 "),
            std::string::npos);
  EXPECT_NE(oggInvocation(kProgram, kOutput, 11025, 2, settings).commandLine.find(" -m 96 -M 99 "),
            std::string::npos);
  // The fed sound is the document's own; the encoder mixes down.
  EncoderInvocation fed = oggInvocation(kProgram, kOutput, 32000, 2, OggEncoderSettings{});
  EXPECT_EQ(fed.sampleRate, 32000);
  EXPECT_EQ(fed.channels, 2);
}

TEST(FlacCommandLine, TheSoundIsFedAtTheSettingsRateAndChannels) {
  FlacEncoderSettings settings;
  settings.channels = 2;
  settings.compression = 8;
  settings.sampleRate = 22050;
  EncoderInvocation line = flacInvocation(kProgram, kOutput, 44100, 1, settings);
  EXPECT_EQ(line.commandLine, kHead + " --channels=2 --sample-rate=22050 --compression-level-8"
                                      " --endian=little --bps=16 --sign=signed -f - -o " + kTail);
  EXPECT_EQ(line.sampleRate, 22050);
  EXPECT_EQ(line.channels, 2);
  // A rate never chosen keeps the sound's.
  settings.sampleRate = 0;
  EXPECT_EQ(flacInvocation(kProgram, kOutput, 96000, 2, settings).sampleRate, 96000);
}

TEST(AacAndAmrCommandLines, FollowTheirSettings) {
  AacEncoderSettings aac;
  EXPECT_EQ(aacInvocation(kProgram, kOutput, 44100, 2, aac).commandLine,
            kHead + " -C 2 -R 44100 -q 100 -X - -o " + kTail);
  aac.averageBitRate = true;
  aac.abrBitRate = 320;
  aac.forceMpeg2 = true;
  aac.disableTns = true;
  // 320 kbps is capped at 2 x 8,000 x 0.0045 = 72.
  EXPECT_EQ(aacInvocation(kProgram, kOutput, 8000, 2, aac).commandLine,
            kHead + " -C 2 -R 8000 -b 72 --mpeg-vers 2 --no-tns -X - -o " + kTail);
  AmrEncoderSettings amr;
  EncoderInvocation line = amrInvocation(kProgram, kOutput, amr);
  EXPECT_EQ(line.commandLine, kHead + " MR74 - " + kTail);
  EXPECT_EQ(line.sampleRate, 8000);
  EXPECT_EQ(line.channels, 1);
  amr.mode = 7;
  EXPECT_EQ(amrInvocation(kProgram, kOutput, amr).commandLine, kHead + " MR122 - " + kTail);
}

TEST(EncoderSettings, ReadWithTheirDefaultsAndKeptInRange) {
  auto store = sys::makeMemorySettingsStore();
  Mp3EncoderSettings mp3 = readMp3EncoderSettings(store.get());
  EXPECT_TRUE(mp3.constantBitRate);
  EXPECT_EQ(mp3.cbrBitRate, 128);
  EXPECT_EQ(mp3.channelMode, 1);
  EXPECT_EQ(readFlacEncoderSettings(store.get()).sampleRate, 0) << "never set: the sound's own rate";
  EXPECT_EQ(readAmrEncoderSettings(nullptr).mode, 4);

  store->write("MP3Encoder", "ChannelMode", "7");
  store->write("MP3Encoder", "VBRMinBitRate", "8");
  store->write("MP3Encoder", "VBRMaxBitRate", "192");
  store->write("OggEncoder", "Channels", "0");
  store->write("FlacEncoder", "SampleRate", "0");
  store->write("AACEncoder", "VBRQuality", "0");
  store->write("AMREncoder", "ModeRateSelection", "12");
  mp3 = readMp3EncoderSettings(store.get());
  EXPECT_EQ(mp3.channelMode, 1);
  EXPECT_EQ(mp3.vbrMinBitRate, 32) << "a maximum above 160 raises the minimum";
  EXPECT_EQ(readOggEncoderSettings(store.get()).channels, 1);
  EXPECT_EQ(readFlacEncoderSettings(store.get()).sampleRate, 44100);
  EXPECT_EQ(readAacEncoderSettings(store.get()).vbrQuality, 100);
  EXPECT_EQ(readAmrEncoderSettings(store.get()).mode, 4);

  // What is written reads back.
  OggEncoderSettings ogg;
  ogg.qualityMode = false;
  ogg.vbrQuality = 9;
  ogg.channels = 2;
  writeOggEncoderSettings(*store, ogg);
  OggEncoderSettings back = readOggEncoderSettings(store.get());
  EXPECT_FALSE(back.qualityMode);
  EXPECT_EQ(back.vbrQuality, 9);
  EXPECT_EQ(back.channels, 2);
}

}  // namespace
