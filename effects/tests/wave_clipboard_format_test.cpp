#include "effects/wave_clipboard_format.h"

#include <gtest/gtest.h>


#include "effects/tests/edit_test_support.h"
#include "testkit/testkit.h"

namespace {

using edittest::samplesOf;
using edittest::soundFrom;

// 16-bit values held as Samples (v x 16), the full 16-bit range included.
const std::vector<int16_t> kValues = {0, 1, -1, 32767, -32768, 1234, -4321, 100};

SoundBuffer stereoSound() {
  std::vector<Sample> samples;
  for (int16_t v : kValues) samples.push_back(v * 16);
  return soundFrom(samples, 2, 22050);
}

std::vector<uint8_t> encode(const SoundBuffer& sound) {
  std::vector<uint8_t> image;
  EXPECT_EQ(encodeWaveImage(sound, image), WaveImageStatus::Good);
  return image;
}

WaveImageStatus decode(const std::vector<uint8_t>& image, SoundBuffer& sound) {
  return decodeWaveImage(image.data(), image.size(), sound);
}

uint32_t field32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
void setField32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(WaveClipboardFormat, EncodesA16BitPcmRiffImageThatDecodesToTheSameSound) {
  std::vector<uint8_t> image = encode(stereoSound());
  ASSERT_EQ(image.size(), 44u + 2 * kValues.size());
  EXPECT_EQ(field32(image, 4), image.size() - 8);
  EXPECT_EQ(field32(image, 40), 2 * kValues.size());
  SoundBuffer decoded;
  ASSERT_EQ(decode(image, decoded), WaveImageStatus::Good);
  EXPECT_EQ(decoded.sampleRate(), 22050);
  EXPECT_EQ(decoded.channels(), 2);
  EXPECT_EQ(samplesOf(decoded), samplesOf(stereoSound()));
}

TEST(WaveClipboardFormat, SamplesAreRoundedAndClippedTo16Bits) {
  const Sample in[] = {7, 8, -9, kSampleFullScale + 100, -kSampleFullScale - 5000};
  const int16_t out[] = {0, 1, -1, 32767, -32768};
  std::vector<uint8_t> image = encode(soundFrom({std::begin(in), std::end(in)}, 1, 8000));
  for (size_t i = 0; i < std::size(out); ++i)
    EXPECT_EQ(static_cast<int16_t>(image[44 + 2 * i] | image[45 + 2 * i] << 8), out[i]) << in[i];
}

TEST(WaveClipboardFormat, SoxReadsTheImageAsAWaveFile) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder scratch;
  ASSERT_TRUE(testkit::writeAll(scratch.file("clip.wav"), encode(stereoSound())));
  ASSERT_EQ(testkit::runTool("sox " + scratch.file("clip.wav") + " -t raw -e signed -b 16 " + scratch.file("clip.raw")), 0);
  EXPECT_EQ(testkit::readPcm16(scratch.file("clip.raw")), kValues);
  EXPECT_EQ(testkit::toolOutput("soxi -r " + scratch.file("clip.wav")), "22050\n");
}

TEST(WaveClipboardFormat, ImagesFromOtherProgramsAreReadWhenTheirSizesHold) {
  std::vector<uint8_t> good = encode(stereoSound());

  // Rounded-up clipboard memory: bytes after the RIFF end are ignored.
  std::vector<uint8_t> padded = good;
  padded.insert(padded.end(), 100, 0xCD);
  SoundBuffer sound;
  ASSERT_EQ(decode(padded, sound), WaveImageStatus::Good);
  EXPECT_EQ(samplesOf(sound), samplesOf(stereoSound()));

  // An odd-sized chunk of another program, with its pad byte, before the data.
  std::vector<uint8_t> noted = good;
  const uint8_t note[] = {'n', 'o', 't', 'e', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  noted.insert(noted.begin() + 36, std::begin(note), std::end(note));
  setField32(noted, 4, static_cast<uint32_t>(noted.size() - 8));
  ASSERT_EQ(decode(noted, sound), WaveImageStatus::Good);
  EXPECT_EQ(samplesOf(sound), samplesOf(stereoSound()));
}

TEST(WaveClipboardFormat, DamagedImagesAreRefusedAndTheSoundKept) {
  const std::vector<uint8_t> good = encode(stereoSound());
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
  };
  std::vector<Case> cases;
  cases.push_back({"cut inside the header", {good.begin(), good.begin() + 10}});
  auto changed = [&](const char* what, size_t at, uint32_t value) {
    std::vector<uint8_t> image = good;
    setField32(image, at, value);
    cases.push_back({what, image});
  };
  changed("not RIFF", 0, 0x58464952);  // "RIFX"
  changed("RIFF size past the end", 4, static_cast<uint32_t>(good.size()));
  changed("fmt size past the end", 16, 0x7FFFFFF0);
  changed("data size past the end", 40, 2 * static_cast<uint32_t>(kValues.size()) + 2);
  changed("data size of an unfinished recording", 40, 0xFFFFFFFF);
  changed("no channels", 20, 1);
  std::vector<uint8_t> cut(good.begin(), good.begin() + 36);  // no data chunk
  setField32(cut, 4, 28);
  cases.push_back({"no data chunk", cut});
  std::vector<uint8_t> swapped(good.begin(), good.begin() + 12);  // data before fmt
  swapped.insert(swapped.end(), good.begin() + 36, good.end());
  swapped.insert(swapped.end(), good.begin() + 12, good.begin() + 36);
  cases.push_back({"data before fmt", swapped});

  for (const auto& c : cases) {
    SoundBuffer sound = soundFrom({5, 6, 7}, 1, 8000);
    EXPECT_EQ(decodeWaveImage(c.image.data(), c.image.size(), sound), WaveImageStatus::Damaged) << c.what;
    EXPECT_EQ(samplesOf(sound), (std::vector<Sample>{5, 6, 7})) << c.what;
  }
  SoundBuffer sound;
  EXPECT_EQ(decodeWaveImage(nullptr, 0, sound), WaveImageStatus::Damaged);
}

TEST(WaveClipboardFormat, ASoundTooLongForRiffSizesIsRefused) {
  // Silence only: a span of 2^29 stereo frames is 2 GiB of 16-bit data, fine;
  // 2^30 frames would be 4 GiB, past the 32-bit sizes.
  SoundBuffer sound(44100, 2);
  ASSERT_TRUE(sound.insertSilence(0, 1 << 30));
  std::vector<uint8_t> image = {1, 2, 3};
  EXPECT_EQ(encodeWaveImage(sound, image), WaveImageStatus::TooLong);
  EXPECT_EQ(image.size(), 3u);
}

}  // namespace
