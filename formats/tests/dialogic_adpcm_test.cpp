#include "formats/dialogic_adpcm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "testkit/testkit.h"

namespace {

double snrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& coded, size_t skip = 0) {
  double signal = 0, noise = 0;
  for (size_t i = skip; i < std::min(original.size(), coded.size()); ++i) {
    signal += double(original[i]) * original[i];
    noise += double(original[i] - coded[i]) * (original[i] - coded[i]);
  }
  return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

// 16-bit samples in, codes packed high nibble first, as the raw writer does.
std::vector<uint8_t> encode16(const std::vector<int16_t>& samples) {
  DialogicAdpcmEncoder encoder;
  std::vector<uint8_t> bytes((samples.size() + 1) / 2, 0);
  for (size_t i = 0; i < samples.size(); ++i)
    bytes[i / 2] |= encoder.encode(adpcm12FromSample(samples[i] * 16)) << (i % 2 ? 0 : 4);
  return bytes;
}

std::vector<int16_t> decode16(const std::vector<uint8_t>& bytes) {
  DialogicAdpcmDecoder decoder;
  std::vector<int16_t> samples(bytes.size() * 2);
  decoder.decodeBytes(bytes.data(), bytes.size(), samples.data());
  for (int16_t& s : samples) s = static_cast<int16_t>(s * 16);
  return samples;
}

}  // namespace

TEST(DialogicAdpcm, DecoderFollowsTheStepArithmeticWorkedOutByHand) {
  // Difference = step/8 (+ step, + step/2, + step/4 by the magnitude bits),
  // each term truncated; the step index moves by -1,-1,-1,-1,2,4,6,8.
  const struct { uint8_t code; int16_t sample; int stepIndex; } steps[] = {
      {0x7, 30, 8},    {0x5, 76, 12},  {0x4, 132, 14},  // steps 16, 34, 50
      {0x0, 139, 13},                                   // step 60: 7
      {0x7, 240, 21},  // step 55: 6 + 55 + 27 + 13 = 101 (one rounded (2m+1)/8 product gives 103)
      {0xF, 20, 29},   {0xA, -137, 28},                 // steps 118, 253, negative
  };
  DialogicAdpcmDecoder decoder;
  for (const auto& step : steps) {
    EXPECT_EQ(decoder.decode(step.code), step.sample) << "code " << int(step.code);
    EXPECT_EQ(decoder.stepIndex(), step.stepIndex);
  }
  // The sample stays within 12 bits, the index within the table.
  for (int i = 0; i < 40; ++i) decoder.decode(0x7);
  EXPECT_EQ(decoder.predicted(), 2047);
  EXPECT_EQ(decoder.stepIndex(), 48);
  for (int i = 0; i < 40; ++i) decoder.decode(0xF);
  EXPECT_EQ(decoder.predicted(), -2048);
  decoder.reset();
  for (int i = 0; i < 10; ++i) decoder.decode(0x0);
  EXPECT_EQ(decoder.predicted(), 20);
  EXPECT_EQ(decoder.stepIndex(), 0);
  // Two codes a byte, the high nibble first.
  int16_t samples[4];
  decoder.reset();
  decoder.decodeBytes(std::vector<uint8_t>{0x75, 0x40}.data(), 2, samples);
  EXPECT_EQ(std::vector<int16_t>(samples, samples + 4), (std::vector<int16_t>{30, 76, 132, 139}));
}

TEST(DialogicAdpcm, EncoderFollowsTonesAndSaturatesLoudInput) {
  // Sox's coder reaches 38, 30, 21 and 16 dB on these; higher tones change
  // faster than the step size adapts.
  const struct { double frequency, amplitude, minimumSnr; } tones[] = {
      {200, 20000, 35}, {440, 30000, 27}, {1000, 8000, 18}, {3000, 12000, 13}};
  for (const auto& tone : tones) {
    std::vector<int16_t> original(8000);
    for (int i = 0; i < 8000; ++i)
      original[i] = static_cast<int16_t>(std::lround(tone.amplitude * std::sin(2 * std::numbers::pi * tone.frequency * i / 8000)));
    EXPECT_GT(snrDb(original, decode16(encode16(original)), 100), tone.minimumSnr) << tone.frequency << " Hz";
  }
  DialogicAdpcmEncoder encoder;
  DialogicAdpcmDecoder decoder;
  for (int i = 0; i < 100; ++i) decoder.decode(encoder.encode(adpcm12FromSample(40 * kSampleFullScale)));
  EXPECT_GE(decoder.predicted(), 2047 - 16);
  EXPECT_EQ(adpcm12FromSample(INT32_MIN), -2048);
  EXPECT_EQ(adpcm12FromSample(INT32_MAX), 2047);
}

// Sox decodes each step with one rounded (2m+1)/8 product instead of the
// three truncated terms, so its samples differ slightly and the difference
// builds up in the predictor: on tones and noise both decodings of one file
// stay equally close to the original, on speech the two drift apart. Round
// trips within each coder are equally good on everything.
TEST(DialogicAdpcm, CodesSoxsMaterialAsWellAsSoxAndDecodesItsTones) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const std::string raw = " -t raw -r 8000 -c 1 -e signed -b 16 ";
  const struct { const char* name; std::string make; bool soxCompatible; } materials[] = {
      {"sine", "sox -R -D -n" + raw + "%s synth 2 sine 440 vol 0.9", true},
      {"sweep", "sox -R -D -n" + raw + "%s synth 2 sine 100-3000 vol 0.5", true},
      {"noise", "sox -R -D -n" + raw + "%s synth 2 whitenoise vol 0.5", true},
      {"speech", "espeak-ng -w " + folder.file("s.wav") + " 'The quick brown fox jumps over the lazy dog.' && sox -D " +
                     folder.file("s.wav") + raw + "%s",
       false},
  };
  for (const auto& material : materials) {
    SCOPED_TRACE(material.name);
    if (!material.soxCompatible && !testkit::needTool("espeak-ng")) continue;  // speech needs it
    const std::string original = folder.file("original.raw"), soxVox = folder.file("sox.vox"),
                      ourVox = folder.file("our.vox");
    std::string make = material.make;
    make.replace(make.find("%s"), 2, original);
    ASSERT_EQ(testkit::runTool(make), 0);
    ASSERT_EQ(testkit::runTool("sox -D" + raw + original + " -t vox " + soxVox + " && sox -t vox -r 8000 " + soxVox +
                               raw + folder.file("soxsox.raw")),
              0);
    const std::vector<int16_t> samples = testkit::readPcm16(original);
    ASSERT_GT(samples.size(), 8000u);
    ASSERT_TRUE(testkit::writeAll(ourVox, encode16(samples)));
    ASSERT_EQ(testkit::runTool("sox -t vox -r 8000 " + ourVox + raw + folder.file("soxours.raw")), 0);

    const double soxRoundTrip = snrDb(samples, testkit::readPcm16(folder.file("soxsox.raw")));
    EXPECT_GT(soxRoundTrip, 10.0);
    EXPECT_NEAR(snrDb(samples, decode16(testkit::readAll(ourVox))), soxRoundTrip, 1.0);
    if (!material.soxCompatible) continue;
    EXPECT_NEAR(snrDb(samples, decode16(testkit::readAll(soxVox))), soxRoundTrip, 1.0);
    EXPECT_NEAR(snrDb(samples, testkit::readPcm16(folder.file("soxours.raw"))), soxRoundTrip, 1.0);
  }
}
