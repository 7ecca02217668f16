#include "effects/effect_job.h"

#include <gtest/gtest.h>

#include "core/block_store.h"
#include "core/silence_source.h"
#include "effects/amplitude_effects.h"
#include "effects/tests/effect_test_support.h"
#include "sys/folders.h"

using namespace effecttest;

namespace {

// Hands back a source of another format (mono, 11,025 Hz) than its input's.
class WrongFormatJob final : public EffectJob {
 public:
  std::string name() const override { return "Wrong"; }
  SampleSourceRef process(SampleSourceRef) override { return makeSilenceSource(SourceStatus::Good); }
};

TEST(RunEffectJob, CancelOrAFailedJobLeavesTheSoundExactlyAsItWasAndNoBlockBehind) {
  SoundBuffer sound = soundFrom(std::vector<Sample>(50000, 1234));
  const BlockNumber block = sound.spans().front().block();
  const size_t files = sys::listFiles(blockFolder()).size();
  // One pass (a cancel before, between or after chunks), then two passes.
  for (int allowed : {0, 3, 7, 1, 9}) {
    CancelAfter cancel(allowed);
    JobResult result = allowed < 7 ? reverse(sound, 10, 49990, &cancel) : dcOffsetCorrection(sound, 0, 50000, &cancel);
    EXPECT_EQ(result, JobResult::Cancelled) << allowed;
    ASSERT_EQ(sound.spans().size(), 1u);
    EXPECT_EQ(sound.spans().front().block(), block);
    EXPECT_EQ(sys::listFiles(blockFolder()).size(), files);
  }
  WrongFormatJob wrong;
  SoundBuffer stereo = soundFrom(std::vector<Sample>(2000, 5), 2);
  EXPECT_EQ(runEffectJob(stereo, 0, 1000, wrong), JobResult::Failed);
  EXPECT_EQ(samplesOf(stereo), std::vector<Sample>(2000, 5));
  EXPECT_EQ(samplesOf(sound), std::vector<Sample>(50000, 1234));
  // A selection reaching past the sound is clamped; an end before the start does nothing.
  ASSERT_EQ(reverse(sound, -50, 60000), JobResult::Done);
  EXPECT_EQ(sound.totalFrames(), 50000);
  ASSERT_EQ(reverse(sound, 500, 100), JobResult::Done);
}

TEST(RunEffectJob, TheOldBlockGoesWhenNothingHoldsItAndStaysWhileACopyDoes) {
  SoundBuffer sound = soundFrom(std::vector<Sample>(30000, 700));
  const BlockNumber original = sound.spans().front().block();
  const std::string originalFile = blockSamplePath(original);
  SoundBuffer undoCopy = sound;  // what an undo step keeps
  ASSERT_EQ(fadeIn(sound, 0, 30000), JobResult::Done);
  ASSERT_EQ(sound.spans().size(), 1u);
  const BlockNumber faded = sound.spans().front().block();
  EXPECT_NE(faded, original);
  EXPECT_EQ(blockRefCount(original), 1);
  EXPECT_EQ(blockRefCount(faded), 1);  // the writer let go of its own reference
  undoCopy.clear();
  EXPECT_EQ(blockRefCount(original), 0);
  EXPECT_FALSE(sys::fileExists(originalFile));
  // A partial selection keeps the old block for the parts around it.
  ASSERT_EQ(reverse(sound, 100, 200), JobResult::Done);
  EXPECT_EQ(sound.spans().size(), 3u);
  EXPECT_EQ(blockRefCount(faded), 2);
}

TEST(StoredValues, MissingOrBadValuesReadAsTheirDefaultsAndOthersAreKeptInRange) {
  auto store = sys::makeMemorySettingsStore();
  store->write(kEffectValuesSection, "AmplifyGain", "");
  store->write(kEffectValuesSection, "StereoPan", "left");
  EXPECT_EQ(readAmplifyParams(*store).AmplifyGain, 100);
  EXPECT_EQ(readNormalizeParams(*store).NormalizePeakLevel, 100);
  EXPECT_EQ(readStereoPanParams(*store).StereoPan, 50);
  EXPECT_EQ(readCrossFadeParams(*store).FadeOutTimeMS, 300);
  EXPECT_EQ(readAutoTrimParams(*store).AutoTrimThreshold, -20);
  EXPECT_EQ(readCompressorParams(*store).CompressorLimit, 0);
  writeCrossFadeParams(*store, {1, 2, 3});
  EXPECT_EQ(store->read(kCrossFadeSection, "FadeInTimeMS", ""), "2");
  store->write(kEffectValuesSection, "AmplifyGain", "99999");
  store->write(kEffectValuesSection, "StereoPan", "-4");
  store->write(kEffectValuesSection, "CompressorThreshold", "-300");
  EXPECT_EQ(readAmplifyParams(*store).AmplifyGain, 32767);
  EXPECT_EQ(readStereoPanParams(*store).StereoPan, 0);
  EXPECT_EQ(readCompressorParams(*store).CompressorThreshold, -128);
}

}  // namespace
