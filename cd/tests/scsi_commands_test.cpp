#include "cd/scsi_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A READ TOC reply: header with the given length field, then descriptors.
std::vector<uint8_t> tocReply(uint16_t lengthField, const std::vector<uint32_t>& addresses) {
  std::vector<uint8_t> reply = {static_cast<uint8_t>(lengthField >> 8), static_cast<uint8_t>(lengthField), 1,
                                static_cast<uint8_t>(addresses.size() - 1)};
  for (size_t i = 0; i < addresses.size(); ++i) {
    uint32_t a = addresses[i];
    uint8_t track = i + 1 == addresses.size() ? 0xAA : static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> d = {0, 0x10, track, 0, uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a)};
    reply.insert(reply.end(), d.begin(), d.end());
  }
  return reply;
}

TEST(ScsiCommands, CommandBlocks) {
  EXPECT_EQ(cd::readTocCommand(), (std::array<uint8_t, 10>{0x43, 0, 0, 0, 0, 0, 0, 0x08, 0x00, 0}));
  EXPECT_EQ(cd::readCdCommand(0x01020304, 27),
            (std::array<uint8_t, 12>{0xBE, 0, 0x01, 0x02, 0x03, 0x04, 0, 0, 27, 0xF0, 0, 0}));
  EXPECT_EQ(cd::readCdCommand(150, 0x012345)[6], 0x01);
}

TEST(ScsiCommands, TableOfContentsFromAReply) {
  std::vector<uint8_t> reply = tocReply(2 + 3 * 8, {0, 0x12345, 0x54321});
  cd::TableOfContents toc;
  ASSERT_TRUE(cd::parseTocReply(reply.data(), reply.size(), toc));
  EXPECT_EQ(toc.addresses, (std::vector<int32_t>{0, 0x12345, 0x54321}));
  EXPECT_EQ(toc.trackCount(), 2);
}

TEST(ScsiCommands, DescriptorsAreBoundedByTheBytesReturned) {
  // The length field claims 200 descriptors; three came back.
  std::vector<uint8_t> reply = tocReply(2 + 200 * 8, {0, 9000, 18000});
  cd::TableOfContents toc;
  ASSERT_TRUE(cd::parseTocReply(reply.data(), reply.size(), toc));
  EXPECT_EQ(toc.addresses, (std::vector<int32_t>{0, 9000, 18000}));
  // A descriptor cut off in the middle is not read.
  ASSERT_TRUE(cd::parseTocReply(reply.data(), reply.size() - 1, toc));
  EXPECT_EQ(toc.addresses, (std::vector<int32_t>{0, 9000}));
}

TEST(ScsiCommands, RepliesWithoutALeadOutFail) {
  cd::TableOfContents toc;
  std::vector<uint8_t> headerOnly = tocReply(2, {0});
  EXPECT_FALSE(cd::parseTocReply(headerOnly.data(), 4, toc));
  EXPECT_FALSE(cd::parseTocReply(headerOnly.data(), 3, toc));
  std::vector<uint8_t> zeroLength = tocReply(0, {0, 100});
  EXPECT_FALSE(cd::parseTocReply(zeroLength.data(), zeroLength.size(), toc));
  EXPECT_FALSE(cd::parseTocReply(nullptr, 100, toc));
}

}  // namespace
