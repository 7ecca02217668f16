#include "formats/dialogic_adpcm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "testkit/testkit.h"

namespace {

// Signal-to-noise ratio of a coded version against the original, in dB.
double snrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& coded, size_t skip = 0) {
  double signal = 0, noise = 0;
  const size_t n = std::min(original.size(), coded.size());
  for (size_t i = skip; i < n; ++i) {
    signal += double(original[i]) * original[i];
    noise += double(original[i] - coded[i]) * (original[i] - coded[i]);
  }
  return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

// Encodes 16-bit samples the way the raw writer does (through Sample),
// packing two codes a byte, high nibble first; an odd count is padded with
// code 0.
std::vector<uint8_t> encode16(const std::vector<int16_t>& samples) {
  DialogicAdpcmEncoder encoder;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < samples.size(); i += 2) {
    const uint8_t high = encoder.encode(adpcm12FromSample(samples[i] * 16));
    const uint8_t low = i + 1 < samples.size() ? encoder.encode(adpcm12FromSample(samples[i + 1] * 16)) : 0;
    bytes.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return bytes;
}

// Decodes to 16-bit samples: the 12-bit value in the top bits.
std::vector<int16_t> decode16(const std::vector<uint8_t>& bytes) {
  DialogicAdpcmDecoder decoder;
  std::vector<int16_t> samples(bytes.size() * 2);
  decoder.decodeBytes(bytes.data(), bytes.size(), samples.data());
  for (int16_t& s : samples) s = static_cast<int16_t>(s * 16);
  return samples;
}

std::vector<int16_t> sine(int count, double frequency, double rate, double amplitude) {
  std::vector<int16_t> samples(count);
  for (int i = 0; i < count; ++i)
    samples[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
  return samples;
}

struct SoxMaterial {
  const char* name;
  std::string synth;  // sox arguments after the output file
};

}  // namespace

TEST(DialogicAdpcm, DecoderFollowsTheStepArithmeticWorkedOutByHand) {
  // Each difference is step/8 plus step, step/2, step/4 for the magnitude
  // bits, every term truncated on its own; the step index moves by
  // -1,-1,-1,-1,2,4,6,8.
  struct Step {
    uint8_t code;
    int16_t sample;
    int stepIndex;
  };
  const Step steps[] = {
      {0x7, 30, 8},     // step 16: 2 + 16 + 8 + 4
      {0x5, 76, 12},    // step 34: 4 + 34 + 8
      {0x4, 132, 14},   // step 50: 6 + 50
      {0x0, 139, 13},   // step 60: 7
      {0x7, 240, 21},   // step 55: 6 + 55 + 27 + 13 = 101 (a single (2m+1)/8 product gives 103)
      {0xF, 20, 29},    // step 118: -(14 + 118 + 59 + 29)
      {0xA, -137, 28},  // step 253: -(31 + 126)
  };
  DialogicAdpcmDecoder decoder;
  for (const Step& step : steps) {
    EXPECT_EQ(decoder.decode(step.code), step.sample) << "code " << int(step.code);
    EXPECT_EQ(decoder.stepIndex(), step.stepIndex);
  }

  // The sample stays within 12 bits and the index within the table.
  decoder.reset();
  for (int i = 0; i < 40; ++i) decoder.decode(0x7);
  EXPECT_EQ(decoder.predicted(), 2047);
  EXPECT_EQ(decoder.stepIndex(), 48);
  for (int i = 0; i < 40; ++i) decoder.decode(0xF);
  EXPECT_EQ(decoder.predicted(), -2048);
  decoder.reset();
  for (int i = 0; i < 10; ++i) decoder.decode(0x0);  // step 16 throughout: +2 each
  EXPECT_EQ(decoder.predicted(), 20);
  EXPECT_EQ(decoder.stepIndex(), 0);

  // Two codes a byte, the high nibble first.
  const uint8_t bytes[] = {0x75, 0x40};
  int16_t samples[4];
  decoder.reset();
  decoder.decodeBytes(bytes, 2, samples);
  EXPECT_EQ(samples[0], 30);
  EXPECT_EQ(samples[1], 76);
  EXPECT_EQ(samples[2], 132);
  EXPECT_EQ(samples[3], 139);
}

TEST(DialogicAdpcm, EncoderTracksTonesAndSaturatesLoudInput) {
  struct Tone {
    double frequency;
    double amplitude;  // of 32,767
    double minimumSnr;
  };
  // Low tones are followed closely; higher ones change faster than the step
  // size adapts. Sox's coder reaches 38, 30, 21 and 16 dB on these.
  const Tone tones[] = {{200, 20000, 35}, {440, 30000, 27}, {1000, 8000, 18}, {3000, 12000, 13}};
  for (const Tone& tone : tones) {
    const std::vector<int16_t> original = sine(8000, tone.frequency, 8000, tone.amplitude);
    const double snr = snrDb(original, decode16(encode16(original)), 100);
    EXPECT_GT(snr, tone.minimumSnr) << tone.frequency << " Hz";
  }

  // Beyond 12 bits the encoder works on the saturated value: a full-scale
  // square wave, and a Sample far past full scale, settle on the rails.
  std::vector<int16_t> square(2000);
  for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 500) % 2 ? -32768 : 32767;
  const std::vector<int16_t> decoded = decode16(encode16(square));
  EXPECT_GE(decoded[499], 2047 * 16 - 16 * 16);
  EXPECT_LE(decoded[999], -2048 * 16 + 16 * 16);
  DialogicAdpcmEncoder encoder;
  DialogicAdpcmDecoder decoder;
  for (int i = 0; i < 100; ++i) decoder.decode(encoder.encode(adpcm12FromSample(40 * kSampleFullScale)));
  EXPECT_GE(decoder.predicted(), 2047 - 16);
  EXPECT_EQ(adpcm12FromSample(INT32_MIN), -2048);
  EXPECT_EQ(adpcm12FromSample(INT32_MAX), 2047);
}

// Sox decodes with a single rounded (2m+1)/8 product per step instead of
// the three truncated terms above, so its samples differ slightly and the
// difference accumulates in the predictor. On tones the two decodings of one
// file stay equally close to the original.
TEST(DialogicAdpcm, SoxAndWeDecodeEachOthersTonesAndNoiseEquallyWell) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  const SoxMaterial materials[] = {{"sine", "synth 2 sine 440 vol 0.9"},
                                   {"sweep", "synth 2 sine 100-3000 vol 0.5"},
                                   {"noise", "synth 2 whitenoise vol 0.5"}};
  for (const SoxMaterial& material : materials) {
    SCOPED_TRACE(material.name);
    const std::string original = folder.file(std::string(material.name) + ".raw");
    const std::string soxVox = folder.file(std::string(material.name) + ".sox.vox");
    const std::string ourVox = folder.file(std::string(material.name) + ".our.vox");
    const std::string soxOfSox = folder.file(std::string(material.name) + ".soxsox.raw");
    const std::string soxOfOurs = folder.file(std::string(material.name) + ".soxours.raw");
    ASSERT_EQ(testkit::runTool("sox -R -D -n -r 8000 -c 1 -e signed -b 16 -t raw " + original + " " +
                               material.synth),
              0);
    ASSERT_EQ(testkit::runTool("sox -D -t raw -r 8000 -c 1 -e signed -b 16 " + original + " -t vox " + soxVox), 0);
    const std::vector<int16_t> samples = testkit::readPcm16(original);
    ASSERT_EQ(samples.size(), 16000u);

    // Sox's file, decoded by sox and by us.
    ASSERT_EQ(testkit::runTool("sox -t vox -r 8000 " + soxVox + " -t raw -e signed -b 16 " + soxOfSox), 0);
    const double soxDecodesSox = snrDb(samples, testkit::readPcm16(soxOfSox));
    const double weDecodeSox = snrDb(samples, decode16(testkit::readAll(soxVox)));
    EXPECT_GT(soxDecodesSox, 10.0);
    EXPECT_NEAR(weDecodeSox, soxDecodesSox, 1.0);

    // Our file, decoded by us and by sox.
    ASSERT_TRUE(testkit::writeAll(ourVox, encode16(samples)));
    ASSERT_EQ(testkit::runTool("sox -t vox -r 8000 " + ourVox + " -t raw -e signed -b 16 " + soxOfOurs), 0);
    const double weDecodeOurs = snrDb(samples, decode16(testkit::readAll(ourVox)));
    EXPECT_NEAR(weDecodeOurs, soxDecodesSox, 1.0);
    EXPECT_NEAR(snrDb(samples, testkit::readPcm16(soxOfOurs)), weDecodeOurs, 1.0);
  }
}

TEST(DialogicAdpcm, SpeechSurvivesOurRoundTripAsWellAsSoxs) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("espeak-ng");
  testkit::ScratchFolder folder;
  const std::string wave = folder.file("speech.wav");
  const std::string original = folder.file("speech.raw");
  const std::string soxVox = folder.file("speech.vox");
  const std::string soxOfSox = folder.file("speech.soxsox.raw");
  ASSERT_EQ(testkit::runTool("espeak-ng -w " + wave + " \"The quick brown fox jumps over the lazy dog.\""), 0);
  ASSERT_EQ(testkit::runTool("sox -D " + wave + " -r 8000 -c 1 -t raw -e signed -b 16 " + original), 0);
  ASSERT_EQ(testkit::runTool("sox -D -t raw -r 8000 -c 1 -e signed -b 16 " + original + " -t vox " + soxVox), 0);
  ASSERT_EQ(testkit::runTool("sox -t vox -r 8000 " + soxVox + " -t raw -e signed -b 16 " + soxOfSox), 0);
  const std::vector<int16_t> samples = testkit::readPcm16(original);
  ASSERT_GT(samples.size(), 8000u);

  const double soxRoundTrip = snrDb(samples, testkit::readPcm16(soxOfSox));
  const double ourRoundTrip = snrDb(samples, decode16(encode16(samples)));
  EXPECT_GT(soxRoundTrip, 12.0);
  EXPECT_NEAR(ourRoundTrip, soxRoundTrip, 1.0);
}
