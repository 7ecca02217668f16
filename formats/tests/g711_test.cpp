#include "formats/g711.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/testkit.h"

namespace {

struct Law {
  const char* soxName;
  int16_t (*decode)(uint8_t);
  uint8_t (*encode)(int16_t);
};
const Law kLaws[] = {{"mu-law", muLawToLinear, linearToMuLaw}, {"a-law", aLawToLinear, linearToALaw}};

}  // namespace

TEST(G711, DecodedValuesEncodeBackToTheirCodeAndLouderNeverDecodesQuieter) {
  for (const Law& law : kLaws) {
    SCOPED_TRACE(law.soxName);
    for (int c = 0; c < 256; ++c) {
      // mu-law's negative zero (0x7F) comes back as the positive one.
      const int expected = law.decode == muLawToLinear && c == 0x7F ? 0xFF : c;
      EXPECT_EQ(law.encode(law.decode(static_cast<uint8_t>(c))), expected) << "code " << c;
    }
    int previous = -32768;
    for (int v = -32768; v <= 32767; ++v) {
      const int decoded = law.decode(law.encode(static_cast<int16_t>(v)));
      ASSERT_GE(decoded, previous) << "at " << v;
      previous = decoded;
    }
  }
}

TEST(G711, EveryCodeDecodesAndEveryValueEncodesAsSoxDoes) {
  ZED_REQUIRE_TOOL("sox");
  testkit::ScratchFolder folder;
  std::vector<uint8_t> codes, ramp;
  for (int c = 0; c < 256; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (int v = -32768; v <= 32767; ++v) testkit::putLe16(ramp, static_cast<uint16_t>(v));
  ASSERT_TRUE(testkit::writeAll(folder.file("codes.raw"), codes));
  ASSERT_TRUE(testkit::writeAll(folder.file("ramp.raw"), ramp));
  for (const Law& law : kLaws) {
    SCOPED_TRACE(law.soxName);
    const std::string coded = " -t raw -r 8000 -c 1 -e " + std::string(law.soxName) + " -b 8 ";
    const std::string linear = " -t raw -r 8000 -c 1 -e signed -b 16 ";
    // -D: no dither, so that sox's encoding is a plain function of the value.
    ASSERT_EQ(testkit::runTool("sox" + coded + folder.file("codes.raw") + linear + folder.file("decoded.raw") +
                               " && sox -D -V1" + linear + folder.file("ramp.raw") + coded + folder.file("encoded.raw")),
              0);
    const std::vector<int16_t> decoded = testkit::readPcm16(folder.file("decoded.raw"));
    ASSERT_EQ(decoded.size(), 256u);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(law.decode(static_cast<uint8_t>(c)), decoded[c]) << "code " << c;
    const std::vector<uint8_t> encoded = testkit::readAll(folder.file("encoded.raw"));
    ASSERT_EQ(encoded.size(), 65536u);
    int mismatches = 0;
    for (int v = -32768; v <= 32767; ++v)
      if (law.encode(static_cast<int16_t>(v)) != encoded[v + 32768] && ++mismatches <= 5)
        ADD_FAILURE() << "value " << v << ": ours " << int(law.encode(static_cast<int16_t>(v))) << ", sox "
                      << int(encoded[v + 32768]);
    EXPECT_EQ(mismatches, 0);
  }
}
