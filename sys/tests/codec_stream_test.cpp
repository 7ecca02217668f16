#include "sys/codec_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "sys/tests/platform.h"
#include "testkit/testkit.h"

namespace {

constexpr int kRate = 8000;
constexpr double kPi = 3.14159265358979323846;
constexpr size_t kGsmBlockBytes = 65;
constexpr size_t kGsmBlockSamples = 320;

// GSM 6.10 as stored in a "fmt " chunk: mono 8 kHz, 65-byte blocks of 320 samples.
std::vector<uint8_t> gsmFormat() {
  std::vector<uint8_t> format;
  testkit::putLe16(format, 0x31);  // format tag
  testkit::putLe16(format, 1);     // channels
  testkit::putLe32(format, kRate);
  testkit::putLe32(format, 1625);  // bytes per second
  testkit::putLe16(format, kGsmBlockBytes);
  testkit::putLe16(format, 0);  // bits per sample
  testkit::putLe16(format, 2);  // extra bytes
  testkit::putLe16(format, kGsmBlockSamples);
  return format;
}

// Runs all of input through the stream in pieces of about pieceBytes, as a
// file reader or writer would.
std::vector<uint8_t> convertAll(sys::CodecStream& stream, const std::vector<uint8_t>& input,
                                size_t pieceBytes, size_t outputPerPiece) {
  std::vector<uint8_t> output;
  std::vector<uint8_t> room(outputPerPiece);
  size_t offset = 0;
  while (offset < input.size()) {
    size_t bytes = std::min(pieceBytes, input.size() - offset);
    bool last = offset + bytes == input.size();
    size_t consumed = 0;
    size_t produced = 0;
    EXPECT_TRUE(stream.convert(input.data() + offset, bytes, consumed, room.data(), room.size(), produced, last));
    if (consumed == 0) break;
    output.insert(output.end(), room.begin(), room.begin() + produced);
    offset += consumed;
  }
  EXPECT_EQ(offset, input.size()) << "every whole block is taken";
  return output;
}

std::vector<int16_t> samplesOf(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

TEST(CodecStream, Gsm610EncodesAndDecodesASineCloseToTheOriginal) {
  auto encoder = sys::openEncodingStream(gsmFormat());
  auto decoder = sys::openDecodingStream(gsmFormat());
  if (!systest::kOnWindows) {
    EXPECT_EQ(encoder, nullptr);
    EXPECT_EQ(decoder, nullptr);
    GTEST_SKIP() << "no system codecs outside Windows";
  }
  ASSERT_NE(encoder, nullptr);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->inputBytesFor(kGsmBlockSamples * 2), kGsmBlockBytes);
  EXPECT_EQ(decoder->inputBytesFor(1), kGsmBlockBytes) << "at least one block";
  EXPECT_EQ(decoder->inputBytesFor(10 * kGsmBlockSamples * 2), 10 * kGsmBlockBytes);
  EXPECT_EQ(encoder->inputBytesFor(kGsmBlockBytes), kGsmBlockSamples * 2);

  // A little over one second of 440 Hz at a quarter of full scale: 25
  // blocks and a part of one, which must not be lost at the end.
  const size_t sampleCount = kRate + 100;
  const size_t blockCount = sampleCount / kGsmBlockSamples + 1;
  std::vector<uint8_t> pcm;
  for (size_t i = 0; i < sampleCount; ++i)
    testkit::putLe16(pcm, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * kPi * 440 * i / kRate))));

  // Pieces that end inside blocks: the stream takes whole blocks and leaves the rest.
  std::vector<uint8_t> coded = convertAll(*encoder, pcm, 3 * kGsmBlockSamples * 2 + 100, 4096);
  ASSERT_EQ(coded.size(), blockCount * kGsmBlockBytes);
  std::vector<uint8_t> decodedBytes = convertAll(*decoder, coded, 4 * kGsmBlockBytes + 10, 8192);
  ASSERT_EQ(decodedBytes.size(), blockCount * kGsmBlockSamples * 2);

  std::vector<int16_t> original = samplesOf(pcm);
  std::vector<int16_t> decoded = samplesOf(decodedBytes);
  // The first block is the codec settling in; compare the rest.
  double energyIn = 0, energyOut = 0, product = 0;
  for (size_t i = kGsmBlockSamples; i < sampleCount; ++i) {
    energyIn += double(original[i]) * original[i];
    energyOut += double(decoded[i]) * decoded[i];
    product += double(original[i]) * decoded[i];
  }
  double correlation = product / std::sqrt(energyIn * energyOut);
  EXPECT_GT(correlation, 0.9);
  EXPECT_GT(energyOut / energyIn, 0.5);
  EXPECT_LT(energyOut / energyIn, 2.0);

  // The short last block carries its samples, then silence.
  double tailEnergy = 0, paddingEnergy = 0;
  for (size_t i = sampleCount - 80; i < sampleCount; ++i) tailEnergy += double(decoded[i]) * decoded[i];
  for (size_t i = sampleCount + 100; i < decoded.size(); ++i) paddingEnergy += double(decoded[i]) * decoded[i];
  EXPECT_GT(tailEnergy / 80, 0.25 * energyIn / (sampleCount - kGsmBlockSamples));
  EXPECT_LT(paddingEnergy / (decoded.size() - sampleCount - 100), 0.01 * energyIn / (sampleCount - kGsmBlockSamples));
}

TEST(CodecStream, RefusesFormatRecordsThatCannotBeRead) {
  std::vector<uint8_t> cutShort = gsmFormat();
  cutShort.resize(19);  // claims two extra bytes, holds one
  std::vector<uint8_t> noChannels = gsmFormat();
  noChannels[2] = 0;
  std::vector<uint8_t> unknownTag = gsmFormat();
  unknownTag[0] = 0x77;
  unknownTag[1] = 0x77;
  for (const auto& format : {std::vector<uint8_t>{}, std::vector<uint8_t>(10, 0), cutShort, noChannels, unknownTag}) {
    EXPECT_EQ(sys::openDecodingStream(format), nullptr) << format.size();
    EXPECT_EQ(sys::openEncodingStream(format), nullptr) << format.size();
  }
}

}  // namespace
