#include "formats/gsm610_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "testkit/testkit.h"

namespace {

const std::string kRaw16 = " -t raw -r 8000 -c 1 -b 16 -e signed ";

std::vector<uint8_t> encodeAll(const std::vector<int16_t>& pcm) {
  Gsm610Encoder encoder;
  std::vector<uint8_t> out;
  for (size_t at = 0; at < pcm.size(); at += kGsmFrameSamples) {
    int16_t block[kGsmFrameSamples] = {};
    std::memcpy(block, pcm.data() + at, std::min<size_t>(kGsmFrameSamples, pcm.size() - at) * 2);
    uint8_t frame[kGsmFrameBytes];
    encoder.encode(block, frame);
    out.insert(out.end(), frame, frame + kGsmFrameBytes);
  }
  return out;
}

std::vector<int16_t> decodeAll(const std::vector<uint8_t>& frames) {
  Gsm610Decoder decoder;
  std::vector<int16_t> out(frames.size() / kGsmFrameBytes * kGsmFrameSamples);
  for (size_t i = 0; i < frames.size() / kGsmFrameBytes; ++i)
    decoder.decode(frames.data() + i * kGsmFrameBytes, out.data() + i * kGsmFrameSamples);
  return out;
}

// Raw 16-bit files of varied character, made by the host's tools. The last
// one is hand-made: a second on the negative rail then a jump to the positive
// one (the largest value the filters can reach), alternating full-scale
// extremes, and random full-range values.
std::vector<std::string> makeMaterial(const testkit::ScratchFolder& folder) {
  const std::string wav = folder.file("speech.wav");
  EXPECT_EQ(0, testkit::runTool("espeak-ng -w '" + wav +
                                "' 'Seven slender swans swam slowly south, quite unaware of the fog.'"));
  const std::vector<std::pair<std::string, std::string>> recipes = {
      {"sweep", "-n" + kRaw16 + "%s synth 3 sine 60-3900"},
      {"noise", "-n" + kRaw16 + "%s synth 2 whitenoise vol 0.7"},
      {"square", "-n" + kRaw16 + "%s synth 1 square 330 gain 6"},
      {"speech", "'" + wav + "'" + kRaw16 + "%s"},
      {"clipped_speech", "'" + wav + "'" + kRaw16 + "%s gain 30"},
  };
  std::vector<std::string> files;
  for (const auto& [name, recipe] : recipes) {
    const std::string path = folder.file(name + ".raw");
    std::string command = "sox -q " + recipe;
    command.replace(command.find("%s"), 2, "'" + path + "'");
    EXPECT_EQ(0, testkit::runTool(command + " 2>/dev/null")) << command;
    files.push_back(path);
  }
  std::mt19937 random(5);
  std::vector<uint8_t> extremes;
  for (int i = 0; i < 8800; ++i) testkit::putLe16(extremes, i < 8000 ? 0x8000 : 0x7FFF);
  for (int i = 0; i < 4000; ++i) testkit::putLe16(extremes, (random() & 1) ? 0x8000 : 0x7FFF);
  for (int i = 0; i < 3000; ++i) testkit::putLe16(extremes, random() & 0xFFFF);
  files.push_back(folder.file("extremes.raw"));
  testkit::writeAll(files.back(), extremes);
  return files;
}

TEST(Gsm610Codec, EncodesAndDecodesBitForBitLikeSox) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder folder;
  for (const std::string& raw : makeMaterial(folder)) {
    SCOPED_TRACE(raw);
    const std::string gsm = raw + ".gsm", decoded = raw + ".dec";
    ASSERT_EQ(0, testkit::runTool("sox -q" + kRaw16 + "'" + raw + "' '" + gsm + "'"));
    ASSERT_EQ(0, testkit::runTool("sox -q '" + gsm + "'" + kRaw16 + "'" + decoded + "'"));
    const auto pcm = testkit::readPcm16(raw);
    const auto soxFrames = testkit::readAll(gsm);
    ASSERT_GT(pcm.size(), 1000u);
    EXPECT_TRUE(encodeAll(pcm) == soxFrames);
    EXPECT_TRUE(decodeAll(soxFrames) == testkit::readPcm16(decoded));
  }
}

// Every bit pattern behind the signature, including lags outside 40..120
// that no encoder makes, must decode as the reference decoder does.
TEST(Gsm610Codec, DecodesArbitraryFrameContentsLikeSox) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  std::mt19937 random(11);
  std::vector<uint8_t> frames(400 * kGsmFrameBytes);
  for (uint8_t& byte : frames) byte = static_cast<uint8_t>(random());
  for (size_t at = 0; at < frames.size(); at += kGsmFrameBytes) frames[at] = 0xD0 | (frames[at] & 0x0F);
  testkit::writeAll(folder.file("random.gsm"), frames);
  ASSERT_EQ(0, testkit::runTool("sox -q '" + folder.file("random.gsm") + "'" + kRaw16 + "'" +
                                folder.file("random.raw") + "'"));
  EXPECT_TRUE(decodeAll(frames) == testkit::readPcm16(folder.file("random.raw")));
}

// Silence makes every reflection coefficient zero, so each field holds its
// quantizer's offset: log-area ratio codes 32 32 20 11 8 5 3 2, and four
// subframes of lag 40, gain 0, grid 0, block maximum 0 and 13 pulses of 4.
// Pulse code 4 stands for a tiny positive level, so it decodes to a small
// offset of at most two output steps, not to exact zeros.
TEST(Gsm610Codec, SilenceMakesTheQuietFrameAndDecodesToNearSilence) {
  const std::vector<uint8_t> subframe = {0x50, 0x00, 0x49, 0x24, 0x92, 0x49, 0x24};
  std::vector<uint8_t> quiet = {0xD8, 0x20, 0xA2, 0xE1, 0x5A};
  for (int i = 0; i < 4; ++i) quiet.insert(quiet.end(), subframe.begin(), subframe.end());
  ASSERT_EQ(quiet.size(), size_t(kGsmFrameBytes));

  const auto frames = encodeAll(std::vector<int16_t>(3 * kGsmFrameSamples, 0));
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(std::equal(quiet.begin(), quiet.end(), frames.begin() + i * kGsmFrameBytes)) << "frame " << i;
  for (int16_t v : decodeAll(frames)) ASSERT_TRUE(v >= 0 && v <= 16) << v;
}

TEST(Gsm610Codec, FrameWithoutSignatureGivesSilenceAndLeavesTheDecoderAlone) {
  std::vector<int16_t> tone(8 * kGsmFrameSamples);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>((i * 397 % 2000) * 9 - 9000);
  const auto frames = encodeAll(tone);
  const auto expected = decodeAll(frames);

  Gsm610Decoder decoder;
  std::vector<int16_t> got(kGsmFrameSamples);
  for (int i = 0; i < 8; ++i) {
    if (i == 4) {
      for (uint8_t first : {0x00, 0xC7, 0xE5, 0xFF}) {
        std::vector<uint8_t> foreign(frames.begin(), frames.begin() + kGsmFrameBytes);
        foreign[0] = first;
        std::vector<int16_t> out(kGsmFrameSamples, 123);
        EXPECT_FALSE(decoder.decode(foreign.data(), out.data()));
        EXPECT_EQ(out, std::vector<int16_t>(kGsmFrameSamples, 0));
      }
    }
    EXPECT_TRUE(decoder.decode(frames.data() + i * kGsmFrameBytes, got.data()));
    EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin() + i * kGsmFrameSamples)) << "frame " << i;
  }
}

}  // namespace
