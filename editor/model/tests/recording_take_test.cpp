#include "editor/model/recording_take.h"

#include <gtest/gtest.h>

#include <vector>

#include "testkit/block_store_environment.h"

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

// Frame f of channel c holds 2 f + c.
std::vector<Sample> ramp(int32_t from, int32_t frames) {
  std::vector<Sample> samples;
  for (int32_t f = from; f < from + frames; ++f) {
    samples.push_back(2 * f);
    samples.push_back(2 * f + 1);
  }
  return samples;
}

std::vector<Sample> contentOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  SampleSourceRef reader = sound.openReader();
  reader->read(samples.data(), sound.totalFrames());
  return samples;
}

void writeRamp(SampleSink& sink, int32_t from, int32_t frames) {
  std::vector<Sample> samples = ramp(from, frames);
  // In blocks of 100 ms, as the capture writes.
  for (int32_t at = 0; at < frames; at += 800) {
    int32_t now = std::min(800, frames - at);
    sink.write(samples.data() + static_cast<size_t>(at) * 2, now);
  }
}

}  // namespace

TEST(RecordingTake, GrowsInPiecesTheDialogCanShowAndCommitsWhenReleased) {
  // 8,000 Hz: pieces of 16,000 frames.
  RecordingTake take(8000, 2);
  SampleSinkRef sink = take.releaseSink();
  writeRamp(*sink, 0, 40000);
  EXPECT_EQ(sink->position(), 40000);
  EXPECT_EQ(take.soundSoFar().totalFrames(), 32000) << "two whole pieces are visible";
  EXPECT_FALSE(take.committed());
  sink.reset();
  ASSERT_TRUE(take.committed());
  EXPECT_FALSE(take.failed());
  EXPECT_EQ(contentOf(take.sound()), ramp(0, 40000));
}

TEST(RecordingTake, SeeksBackWithinAPieceAndAcrossPiecesDropWhatFollows) {
  RecordingTake take(8000, 2);
  SampleSinkRef sink = take.releaseSink();
  writeRamp(*sink, 0, 40000);
  // Within the piece being written.
  sink->seek(35000);
  writeRamp(*sink, 35000, 1000);
  EXPECT_EQ(sink->position(), 36000);
  // Back across a piece boundary, as a closing voice gate or the tail trim does.
  sink->seek(20000);
  EXPECT_EQ(sink->position(), 20000);
  EXPECT_EQ(take.soundSoFar().totalFrames(), 20000) << "the second piece now ends at the frame";
  writeRamp(*sink, 20000, 30000);
  sink->seek(49000);  // the tail trim
  sink.reset();
  ASSERT_TRUE(take.committed());
  EXPECT_EQ(contentOf(take.sound()), ramp(0, 49000));

  // Back to the start (Restart, Re-Take).
  RecordingTake again(8000, 2);
  SampleSinkRef second = again.releaseSink();
  writeRamp(*second, 0, 50000);
  second->seek(0);
  writeRamp(*second, 0, 1000);
  second.reset();
  EXPECT_EQ(contentOf(again.sound()), ramp(0, 1000));
}
