#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/block_store.h"
#include "editor/command_ids.h"
#include "editor/model/effect_descriptor.h"
#include "editor/model/noise_repair_checks.h"
#include "sys/folders.h"

namespace {

SoundBuffer silence(int32_t frames, int channels, int32_t rate) {
  SoundBuffer sound;
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels, 0);
  auto writer = sound.openWriter(rate, channels);
  writer->write(samples.data(), frames);
  EXPECT_EQ(writer->close(), SourceStatus::Good);
  return sound;
}

std::string textOf(const std::optional<Refusal>& refusal) { return refusal ? refusal->message : ""; }

TEST(NoiseRepairChecks, NoiseSamplesUpToEightAndAHalfSecondsAreTaken) {
  EXPECT_FALSE(grabNoiseSampleRefusal(44100 * 17 / 2, 44100));
  EXPECT_FALSE(grabNoiseSampleRefusal(44100 * 9 - 1, 44100));
  const std::optional<Refusal> nine = grabNoiseSampleRefusal(44100 * 9, 44100);
  ASSERT_TRUE(nine);
  EXPECT_STREQ(nine->message,
               "You cannot sample an area of your audio longer than 8 seconds. Please select a shorter area.");
  EXPECT_STREQ(nine->caption, "Manual Noise Reduction Error");
  // Nothing selected is no sample either.
  EXPECT_TRUE(grabNoiseSampleRefusal(0, 44100));
}

TEST(NoiseRepairChecks, TheKeptSampleMustExistAndFitTheSound) {
  const char* root = std::getenv("ZED_TEST_TMP");
  ASSERT_TRUE(setWorkingFolder(sys::joinPath(root && *root ? root : sys::tempFolder(), "editor-model-blocks")));
  SoundBuffer stereo = silence(4410, 2, 44100), mono = silence(4410, 1, 44100), slower = silence(4410, 2, 22050);
  NoiseSample sample;
  ASSERT_EQ(grabNoiseSample(stereo, 0, 4410, sample), JobResult::Done);
  EXPECT_FALSE(noiseSampleRefusal(&sample, stereo));
  EXPECT_NE(textOf(noiseSampleRefusal(nullptr, stereo)), "");
  for (const SoundBuffer* other : {&mono, &slower})
    EXPECT_EQ(textOf(noiseSampleRefusal(&sample, *other)),
              "The noise sample you took is not compatible with the selection you are attempting to apply it to.");
}

TEST(NoiseRepairChecks, ManualRepairTakesAtMostAMillisecond) {
  EXPECT_FALSE(manualClickRepairRefusal(44, 44100));
  const std::optional<Refusal> larger = manualClickRepairRefusal(45, 44100);
  ASSERT_TRUE(larger);
  EXPECT_STREQ(larger->message,
               "Razavo cannot do a manual reduction of an area this size. Please select a smaller area.");
  EXPECT_STREQ(larger->caption, "Razavo");
  EXPECT_FALSE(manualClickRepairRefusal(48, 48000));
  EXPECT_TRUE(manualClickRepairRefusal(49, 48000));
}

TEST(NoiseRepairChecks, DialogChecksTakeTheRecordsRanges) {
  using Check = const char* (*)(std::optional<int>);
  for (auto [problem, range] : {std::pair<Check, const EffectParameter*>{noiseGateLevelProblem, &kNoiseGateLevelValue},
                                std::pair<Check, const EffectParameter*>{silenceProportionProblem, &kSsNoiseThresholdValue},
                                std::pair<Check, const EffectParameter*>{maxClickLengthProblem, &kMaxClickLengthValue}}) {
    SCOPED_TRACE(range->key);
    EXPECT_EQ(problem(range->minimum), nullptr);
    EXPECT_EQ(problem(range->maximum), nullptr);
    EXPECT_EQ(problem(range->defaultValue), nullptr);
    EXPECT_NE(problem(range->minimum - 1), nullptr);
    EXPECT_NE(problem(range->maximum + 1), nullptr);
    EXPECT_NE(problem(std::nullopt), nullptr);
  }
  EXPECT_EQ(maxClickLengthProblem(kMaxClickLengthOffered), nullptr);
}

TEST(NoiseRepairChecks, StoredValuesAndPresetsAreThoseOfTheCommands) {
  auto store = sys::makeMemorySettingsStore();
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::NoiseGating))[0], -30);
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::AutoSpectralSubtraction))[0], 30);
  // Never stored, the detector takes 150 microseconds.
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::AutoClickRepair)), (EffectValues{50, 150, 0}));
  store->write("Settings", "ClickSensitivity", "80");
  store->write("Settings", "MaxClickLength", "450");
  store->write("StoredValues", "NoiseGateLevel", "-300");  // beyond a signed byte
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::AutoClickRepair)), (EffectValues{80, 450, 0}));
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::NoiseGating))[0], -128);

  EXPECT_STREQ(noiseGatePresets()[0].name, "Remove Hum and Hiss");
  EXPECT_EQ(noiseGatePresets()[0].values[0], -20);
  ASSERT_EQ(autoSpectralSubtractionPresets().size(), 2u);
  EXPECT_EQ(autoSpectralSubtractionPresets()[0].values[0], 20);
  EXPECT_EQ(autoSpectralSubtractionPresets()[1].values[0], 10);
}

}  // namespace
