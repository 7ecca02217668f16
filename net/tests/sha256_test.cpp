#include "net/sha256.h"

#include <gtest/gtest.h>

#include "testkit/testkit.h"

namespace {

TEST(Sha256, PublishedTestVectors) {
  struct Case {
    std::string message;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the first block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(net::sha256Hex(c.message.data(), c.message.size()), c.digest) << c.message.size() << " bytes";
}

TEST(Sha256, PiecesGiveTheSameDigestAsOneUpdate) {
  std::string message;
  for (int i = 0; i < 200; ++i) message += static_cast<char>(i * 7 + 3);
  for (size_t length : {size_t(55), size_t(56), size_t(63), size_t(64), size_t(65), size_t(119), size_t(200)}) {
    std::string whole = net::sha256Hex(message.data(), length);
    for (size_t piece : {size_t(1), size_t(3), size_t(64), size_t(100)}) {
      net::Sha256 hash;
      for (size_t at = 0; at < length; at += piece) hash.update(message.data() + at, std::min(piece, length - at));
      EXPECT_EQ(net::toHex(hash.finish()), whole) << length << " bytes in pieces of " << piece;
    }
  }
}

TEST(Sha256, FileHashEqualsTheHashOfItsBytesAndAMissingFileHasNone) {
  testkit::ScratchFolder folder;
  std::vector<uint8_t> bytes(150000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
  ASSERT_TRUE(testkit::writeAll(folder.file("data.bin"), bytes));
  EXPECT_EQ(net::sha256OfFile(folder.file("data.bin")), net::sha256Hex(bytes.data(), bytes.size()));
  EXPECT_EQ(net::sha256OfFile(folder.file("missing.bin")), std::nullopt);
}

}  // namespace
