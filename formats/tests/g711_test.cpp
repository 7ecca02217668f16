#include "formats/g711.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "testkit/testkit.h"

namespace {

// Every 16-bit value, lowest first, as a little-endian raw file.
std::vector<uint8_t> everyLinearValue() {
  std::vector<uint8_t> bytes;
  for (int v = -32768; v <= 32767; ++v) testkit::putLe16(bytes, static_cast<uint16_t>(v));
  return bytes;
}

std::vector<uint8_t> everyCode() {
  std::vector<uint8_t> codes(256);
  for (int c = 0; c < 256; ++c) codes[c] = static_cast<uint8_t>(c);
  return codes;
}

struct Law {
  const char* soxName;
  int16_t (*decode)(uint8_t);
  uint8_t (*encode)(int16_t);
};
const Law kLaws[] = {{"mu-law", muLawToLinear, linearToMuLaw}, {"a-law", aLawToLinear, linearToALaw}};

}  // namespace

TEST(G711, KnownCodesDecodeAndEncodeAsWorkedOutByHand) {
  // mu-law: 0xFF and 0x7F are the two zeros; 0x80 / 0x00 the extremes
  // ((15 * 8 + 132) << 7) - 132 = 32124.
  EXPECT_EQ(muLawToLinear(0xFF), 0);
  EXPECT_EQ(muLawToLinear(0x7F), 0);
  EXPECT_EQ(muLawToLinear(0x80), 32124);
  EXPECT_EQ(muLawToLinear(0x00), -32124);
  EXPECT_EQ(muLawToLinear(0xFE), 8);  // first step above zero
  EXPECT_EQ(linearToMuLaw(0), 0xFF);
  EXPECT_EQ(linearToMuLaw(32767), 0x80);
  EXPECT_EQ(linearToMuLaw(-32768), 0x00);
  // A-law: no zero code, the smallest steps are +-8; the extremes
  // ((15 * 16 + 264) << 6) = 32256.
  EXPECT_EQ(aLawToLinear(0xD5), 8);
  EXPECT_EQ(aLawToLinear(0x55), -8);
  EXPECT_EQ(aLawToLinear(0xAA), 32256);
  EXPECT_EQ(aLawToLinear(0x2A), -32256);
  EXPECT_EQ(linearToALaw(0), 0xD5);
  EXPECT_EQ(linearToALaw(-8), 0x55);
  EXPECT_EQ(linearToALaw(-1), 0xD5);  // rounds to 13-bit zero
  EXPECT_EQ(linearToALaw(32767), 0xAA);
  EXPECT_EQ(linearToALaw(-32768), 0x2A);
}

TEST(G711, EncodingADecodedValueGivesItsCodeBackAndDecodingIsMonotonic) {
  for (const Law& law : kLaws) {
    SCOPED_TRACE(law.soxName);
    for (int c = 0; c < 256; ++c) {
      const int16_t linear = law.decode(static_cast<uint8_t>(c));
      // mu-law's negative zero comes back as the positive one.
      const uint8_t expected = (law.decode == muLawToLinear && c == 0x7F) ? 0xFF : static_cast<uint8_t>(c);
      EXPECT_EQ(law.encode(linear), expected) << "code " << c;
    }
    // Louder input never gives a quieter decoded value.
    int previous = law.decode(law.encode(-32768));
    for (int v = -32767; v <= 32767; ++v) {
      const int decoded = law.decode(law.encode(static_cast<int16_t>(v)));
      ASSERT_GE(decoded, previous) << "at " << v;
      previous = decoded;
    }
  }
}

TEST(G711, DecodingEveryCodeEqualsSox) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  ASSERT_TRUE(testkit::writeAll(folder.file("codes.raw"), everyCode()));
  for (const Law& law : kLaws) {
    SCOPED_TRACE(law.soxName);
    const std::string out = folder.file(std::string(law.soxName) + ".raw");
    ASSERT_EQ(testkit::runTool("sox -t raw -r 8000 -c 1 -e " + std::string(law.soxName) + " -b 8 " +
                               folder.file("codes.raw") + " -t raw -e signed -b 16 " + out),
              0);
    const std::vector<int16_t> reference = testkit::readPcm16(out);
    ASSERT_EQ(reference.size(), 256u);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(law.decode(static_cast<uint8_t>(c)), reference[c]) << "code " << c;
  }
}

TEST(G711, EncodingEveryLinearValueEqualsSox) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  ASSERT_TRUE(testkit::writeAll(folder.file("ramp.raw"), everyLinearValue()));
  for (const Law& law : kLaws) {
    SCOPED_TRACE(law.soxName);
    const std::string out = folder.file(std::string(law.soxName) + ".raw");
    // -D: no dither, so that sox's conversion is a plain function of the value.
    ASSERT_EQ(testkit::runTool("sox -D -V1 -t raw -r 8000 -c 1 -e signed -b 16 " + folder.file("ramp.raw") +
                               " -t raw -e " + std::string(law.soxName) + " -b 8 " + out),
              0);
    const std::vector<uint8_t> reference = testkit::readAll(out);
    ASSERT_EQ(reference.size(), 65536u);
    int mismatches = 0;
    for (int v = -32768; v <= 32767; ++v) {
      if (law.encode(static_cast<int16_t>(v)) != reference[v + 32768] && ++mismatches <= 10)
        ADD_FAILURE() << "value " << v << ": ours " << int(law.encode(static_cast<int16_t>(v))) << ", sox "
                      << int(reference[v + 32768]);
    }
    EXPECT_EQ(mismatches, 0);
  }
}
