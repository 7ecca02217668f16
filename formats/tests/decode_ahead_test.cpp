#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/decode_ahead.h"

namespace {

// A stereo "decoder" counting frames up to a total: frame i is (i, -i).
struct CountingDecoder {
  int32_t next = 0;
  int32_t total = 0;
  int32_t decode(int16_t* pcm, int32_t frames) {
    int32_t count = 0;
    for (; count < frames && next < total; ++count, ++next) {
      pcm[2 * count] = static_cast<int16_t>(next);
      pcm[2 * count + 1] = static_cast<int16_t>(-next);
    }
    return count;
  }
};

TEST(DecodeAhead, HandsOutEveryFrameInOrderAcrossPiecesThenEnds) {
  CountingDecoder decoder{0, 10000};
  DecodeAhead ahead([&](int16_t* pcm, int32_t frames) { return decoder.decode(pcm, frames); }, 2, 300);
  ahead.start();
  std::vector<int16_t> pcm(2 * 777);
  int32_t expected = 0;
  // Takes of other sizes than the pieces, so that they split pieces.
  for (int32_t got; (got = ahead.take(pcm.data(), 777)) > 0;) {
    for (int32_t i = 0; i < got; ++i, ++expected) {
      ASSERT_EQ(pcm[2 * i], static_cast<int16_t>(expected));
      ASSERT_EQ(pcm[2 * i + 1], static_cast<int16_t>(-expected));
    }
  }
  EXPECT_EQ(expected, 10000);
  EXPECT_EQ(ahead.take(pcm.data(), 10), 0);
}

TEST(DecodeAhead, AStopWhileTheQueueIsFullGivesTheDecoderBackForASeek) {
  CountingDecoder decoder{0, 1000000};
  DecodeAhead ahead([&](int16_t* pcm, int32_t frames) { return decoder.decode(pcm, frames); }, 2, 100);
  std::vector<int16_t> pcm(2 * 50);
  for (int round = 0; round < 20; ++round) {
    ahead.start();
    ASSERT_EQ(ahead.take(pcm.data(), 50), 50);
    EXPECT_EQ(pcm[0], static_cast<int16_t>(round * 1000));
    ahead.stop();
    // The thread has ended: moving the decoder here races with nothing.
    decoder.next = (round + 1) * 1000;
  }
  // After the end was reached, a stop and start decodes again.
  decoder.next = decoder.total - 10;
  ahead.start();
  EXPECT_EQ(ahead.take(pcm.data(), 50), 10);
  EXPECT_EQ(ahead.take(pcm.data(), 50), 0);
  ahead.stop();
  decoder.next = 0;
  ahead.start();
  EXPECT_EQ(ahead.take(pcm.data(), 50), 50);
  EXPECT_EQ(pcm[2], 1);
}

}  // namespace
