#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/block_store.h"
#include "editor/command_ids.h"
#include "editor/model/effect_descriptor.h"
#include "editor/model/effect_presets.h"
#include "editor/model/noise_repair_checks.h"
#include "effects/speed_pitch.h"
#include "sys/folders.h"

namespace {

class DescriptorBlockStore : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* root = std::getenv("ZED_TEST_TMP");
    ASSERT_TRUE(setWorkingFolder(sys::joinPath(root && *root ? root : sys::tempFolder(), "editor-model-blocks")));
  }
};
[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new DescriptorBlockStore);

SoundBuffer soundOf(const std::vector<Sample>& samples, int channels, int32_t rate = 8000) {
  SoundBuffer sound;
  auto writer = sound.openWriter(rate, channels);
  writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  EXPECT_EQ(writer->close(), SourceStatus::Good);
  return sound;
}

std::vector<Sample> samplesOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  auto reader = sound.openReader();
  reader->read(samples.data(), sound.totalFrames());
  return samples;
}

const EffectDescriptor& effectOf(int command) {
  const EffectDescriptor* effect = findEffectDescriptor(command);
  if (!effect) ADD_FAILURE() << "no descriptor for command " << command;
  static const EffectDescriptor kNone{};
  return effect ? *effect : kNone;
}

TEST(EffectDescriptors, EveryEffectCommandHasExactlyOneDescriptor) {
  const int effectCommands[] = {cmd::Amplify,         cmd::Normalize,       cmd::FadeIn,          cmd::FadeOut,
                                cmd::FadeOutAndTrim,  cmd::Envelope,        cmd::CrossFade,       cmd::StereoPan,
                                cmd::DcOffset,        cmd::Reverse,         cmd::AutoTrim,        cmd::AutoGainControl,
                                cmd::Compressor,      cmd::SpeedAndPitch,   cmd::SpeedChange,     cmd::PitchChange,
                                cmd::ConvertSampleRate, cmd::ConvertToMono, cmd::ConvertToStereo,
                                cmd::Echo,            cmd::Reverb,          cmd::HighPass,        cmd::Equalizer,
                                cmd::Phaser,          cmd::Flanger,         cmd::Chorus,          cmd::Distortion,
                                cmd::AmRadio,         cmd::Telephone,       cmd::ReduceVocals,
                                // Noise reduction and click repair.
                                cmd::NoiseGating, cmd::AutoSpectralSubtraction, cmd::SpectralSubtraction,
                                cmd::AutoClickRepair, cmd::ManualClickRepair};
  std::multiset<int> listed;
  for (const EffectDescriptor& effect : effectDescriptors()) listed.insert(effect.command);
  for (int command : effectCommands) {
    EXPECT_EQ(listed.count(command), 1u) << command;
    EXPECT_EQ(findEffectDescriptor(command) ? findEffectDescriptor(command)->command : 0, command);
  }
  EXPECT_EQ(listed.size(), std::size(effectCommands));
  // Edits, and effects this build does not have, are not dispatched as effects.
  for (int other : {cmd::Cut, cmd::Trim, cmd::AutoSplit, cmd::OpenFile, 0})
    EXPECT_EQ(findEffectDescriptor(other), nullptr) << other;
}

TEST(EffectDescriptors, StoredValuesHaveDefaultsInsideRangesTheStoredTypeHolds) {
  std::set<std::pair<std::string, std::string>> keys;
  size_t withValues = 0;
  for (const EffectDescriptor& effect : effectDescriptors()) {
    SCOPED_TRACE(effect.name);
    ASSERT_LE(effect.values.size(), kMaxEffectValues);
    withValues += !effect.values.empty();
    for (const EffectParameter* value : effect.values) {
      ASSERT_NE(value, nullptr);
      SCOPED_TRACE(value->key);
      EXPECT_TRUE(value->section && *value->section && value->key && *value->key);
      EXPECT_LE(value->minimum, value->maximum);
      EXPECT_TRUE(value->accepts(value->defaultValue));
      EXPECT_LE(value->storedLow, value->minimum);
      EXPECT_GE(value->storedHigh, value->maximum);
      EXPECT_TRUE(keys.insert({value->section, value->key}).second) << "two effects store under one key";
    }
  }
  // Amplify, Normalize, Cross Fade, Stereo Pan, Auto Trim, Compressor, 3 x speed/pitch; Echo, Reverb,
  // High-Pass, Equalizer, Phaser, Flanger, Chorus, Distortion; noise gate, auto spectral subtraction,
  // auto click repair.
  EXPECT_EQ(withValues, 20u);
}

TEST(EffectDescriptors, StoredValuesReadInTheirDescriptorsOrderWithDefaultsAndStoredRange) {
  auto store = sys::makeMemorySettingsStore();
  const EffectDescriptor& compressor = effectOf(cmd::Compressor);
  EXPECT_EQ(readEffectValues(*store, compressor), (EffectValues{0, 0, 0}));
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::CrossFade)), (EffectValues{300, 300, 300}));
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::AutoTrim))[0], -20);
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::Reverse)), (EffectValues{}));

  store->write("StoredValues", "CompressorThreshold", "-10");
  store->write("StoredValues", "CompressorRatio", "2");
  store->write("StoredValues", "CompressorLimit", "400");  // beyond a signed byte
  EXPECT_EQ(readEffectValues(*store, compressor), (EffectValues{-10, 2, 127}));
  const CompressorParams params = compressorParamsOf(readEffectValues(*store, compressor));
  EXPECT_EQ(params.CompressorThreshold, -10);
  EXPECT_EQ(params.CompressorRatio, 2);
  EXPECT_EQ(params.CompressorLimit, 127);

  // The three speed and pitch commands keep one percent each.
  store->write("StoredValues", "ConstPitchSpeed", "250");
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::SpeedChange))[0], 250);
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::SpeedAndPitch))[0], 100);
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::PitchChange))[0], 100);
  store->write("CrossFade", "FadeInTimeMS", "1200");
  EXPECT_EQ(readEffectValues(*store, effectOf(cmd::CrossFade)), (EffectValues{300, 1200, 300}));
}

TEST(EffectDescriptors, PresetsAreAcceptedByTheirEffectsRecordsAndDialogChecks) {
  size_t withPresets = 0;
  for (const EffectDescriptor& effect : effectDescriptors()) {
    SCOPED_TRACE(effect.name);
    withPresets += !effect.presets.empty();
    if (!effect.presets.empty()) {
      EXPECT_FALSE(effect.values.empty());
    }
    for (const EffectPreset& preset : effect.presets) {
      SCOPED_TRACE(preset.name);
      for (size_t i = 0; i < effect.values.size(); ++i) EXPECT_TRUE(effect.values[i]->accepts(preset.values[i]));
      for (size_t i = effect.values.size(); i < kMaxEffectValues; ++i) EXPECT_EQ(preset.values[i], 0);
    }
  }
  EXPECT_EQ(withPresets, 12u);
  for (const EffectPreset& preset : effectOf(cmd::NoiseGating).presets)
    EXPECT_EQ(noiseGateLevelProblem(preset.values[0]), nullptr);
  for (const EffectPreset& preset : effectOf(cmd::AutoSpectralSubtraction).presets)
    EXPECT_EQ(silenceProportionProblem(preset.values[0]), nullptr);
  for (const EffectPreset& preset : effectOf(cmd::Amplify).presets)
    EXPECT_EQ(amplifyGainProblem(preset.values[0]), nullptr);
  for (const EffectPreset& preset : effectOf(cmd::Normalize).presets)
    EXPECT_EQ(normalizePeakLevelProblem(preset.values[0]), nullptr);
  for (const EffectPreset& preset : effectOf(cmd::Compressor).presets)
    EXPECT_EQ(checkCompressorValues(preset.values[0], preset.values[1], preset.values[2]).message, nullptr);
}

// The dialogs' checks take exactly the range of the value's record.
TEST(EffectDescriptors, DialogChecksFollowTheRecordsRanges) {
  for (const EffectParameter* range : {&kAmplifyGainValue, &kNormalizePeakLevelValue}) {
    SCOPED_TRACE(range->key);
    auto problem = range == &kAmplifyGainValue ? amplifyGainProblem : normalizePeakLevelProblem;
    EXPECT_EQ(problem(range->minimum), nullptr);
    EXPECT_EQ(problem(range->maximum), nullptr);
    EXPECT_NE(problem(range->minimum - 1), nullptr);
    EXPECT_NE(problem(range->maximum + 1), nullptr);
  }
  const int32_t lowest = kCompressorThresholdValue.minimum, highest = kCompressorThresholdValue.maximum;
  EXPECT_EQ(checkCompressorValues(lowest, 0, kCompressorLimitValue.maximum).field, CompressorField::None);
  EXPECT_EQ(checkCompressorValues(lowest - 1, 0, 0).field, CompressorField::Threshold);
  EXPECT_EQ(checkCompressorValues(highest + 1, 0, 0).field, CompressorField::Threshold);
  EXPECT_EQ(checkCompressorValues(0, kCompressorRatioValue.maximum, 0).field, CompressorField::None);
  EXPECT_EQ(checkCompressorValues(0, kCompressorRatioValue.maximum + 1, 0).field, CompressorField::Ratio);
  EXPECT_EQ(checkCompressorValues(0, kCompressorRatioValue.minimum - 1, 0).field, CompressorField::Ratio);
  EXPECT_EQ(checkCompressorValues(0, 0, kCompressorLimitValue.minimum - 1).field, CompressorField::Limit);
  EXPECT_EQ(kCompressorRatioValue.maximum, kCompressorRatioCount - 1);

  for (SpeedPitchMode mode : {SpeedPitchMode::SpeedAndPitch, SpeedPitchMode::Speed, SpeedPitchMode::Pitch}) {
    const EffectParameter& range = speedPitchValue(mode);
    EXPECT_TRUE(speedPitchPercentAccepted(range.maximum));
    EXPECT_FALSE(speedPitchPercentAccepted(range.maximum + 1));
  }
  EXPECT_STREQ(speedPitchValue(SpeedPitchMode::Speed).key, effectOf(cmd::SpeedChange).values[0]->key);
  EXPECT_STREQ(speedPitchValue(SpeedPitchMode::Pitch).key, effectOf(cmd::PitchChange).values[0]->key);
  EXPECT_STREQ(speedPitchValue(SpeedPitchMode::SpeedAndPitch).key, effectOf(cmd::SpeedAndPitch).values[0]->key);
}

TEST(EffectDescriptors, ProgressDialogsShowEachEffectsOwnLines) {
  using Lines = std::pair<std::string, std::string>;
  const std::pair<int, Lines> expected[] = {
      {cmd::Normalize, {"Normalizing", "Please wait..."}},
      {cmd::Reverse, {"Reversing Sound", "Please wait..."}},
      {cmd::AutoGainControl, {"Performing Automatic Gain Control", "Please Wait..."}},
      {cmd::AutoTrim, {"AutoTrim", "Please wait..."}},
      {cmd::DcOffset, {"DC Offset Correction", "Please wait..."}},
      {cmd::Envelope, {"Envelope", "Please wait..."}},
      {cmd::FadeIn, {"Envelope", "Please wait..."}},
      {cmd::FadeOut, {"Envelope", "Please wait..."}},
      {cmd::SpeedChange, {"Speed and Pitch Change", "Please wait..."}},
      {cmd::PitchChange, {"Speed and Pitch Change", "Please wait..."}},
      {cmd::ConvertSampleRate, {"Converting rate or channels...", ""}},
      {cmd::ConvertToMono, {"Converting rate or channels...", ""}},
  };
  for (const auto& [command, lines] : expected) {
    const EffectDescriptor& effect = effectOf(command);
    EXPECT_EQ((Lines{effect.progressLine, effect.progressWait}), lines) << effect.name;
  }
  for (const EffectDescriptor& effect : effectDescriptors()) {
    EXPECT_TRUE(effect.name && *effect.name);
    EXPECT_TRUE(effect.progressLine && *effect.progressLine) << effect.name;
    EXPECT_NE(effect.progressWait, nullptr) << effect.name;
    EXPECT_NE(effect.run, nullptr) << effect.name;
  }
  EXPECT_STREQ(effectOf(cmd::SpeedChange).name, "Speed Change");
  EXPECT_STREQ(effectOf(cmd::ConvertToStereo).name, "Convert Channels");
}

TEST(EffectDescriptors, OnlyPanAndVocalsNeedStereoAndOnlyTrimAndConversionsTakeTheWholeSound) {
  std::set<int> stereo, whole;
  for (const EffectDescriptor& effect : effectDescriptors()) {
    if (effect.needsStereo) stereo.insert(effect.command);
    if (effect.scope == EffectScope::WholeSound) whole.insert(effect.command);
  }
  EXPECT_EQ(stereo, (std::set<int>{cmd::StereoPan, cmd::ReduceVocals}));
  EXPECT_EQ(whole, (std::set<int>{cmd::AutoTrim, cmd::ConvertSampleRate, cmd::ConvertToMono, cmd::ConvertToStereo}));
}

TEST(EffectDescriptors, RunsTakeTheRequestsValuesAndGiveTheSelectionAfterwards) {
  const std::vector<Sample> ramp = {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000};
  {
    SoundBuffer sound = soundOf(ramp, 1);
    EffectRequest request;
    request.start = 2;
    request.end = 5;
    request.values = {200};
    const EditResult result = effectOf(cmd::Amplify).run(sound, request, nullptr);
    EXPECT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(result.selection, (Selection{2, 5, 5}));
    EXPECT_EQ(result.leadInFrames, 8000);
    EXPECT_EQ(samplesOf(sound), (std::vector<Sample>{1000, 2000, 6000, 8000, 10000, 6000, 7000, 8000}));
  }
  {
    // The sound ends at the selection's end afterwards; the selection stays inside it.
    SoundBuffer sound = soundOf(ramp, 1);
    EffectRequest request;
    request.start = 0;
    request.end = 4;
    const EditResult result = effectOf(cmd::FadeOutAndTrim).run(sound, request, nullptr);
    EXPECT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(sound.totalFrames(), 4);
    EXPECT_EQ(result.selection, (Selection{0, 4, 4}));
  }
  {
    // Twice the speed: the selection becomes about half as long.
    SoundBuffer sound = soundOf(std::vector<Sample>(8000, 0), 1);
    EffectRequest request;
    request.start = 1000;
    request.end = 5000;
    request.values = {200};
    const EditResult result = effectOf(cmd::SpeedAndPitch).run(sound, request, nullptr);
    EXPECT_EQ(result.status, EditStatus::Done);
    EXPECT_EQ(result.selection.start, 1000);
    EXPECT_NEAR(result.selection.end - result.selection.start, 2000, 40);
    EXPECT_EQ(result.selection.cursor, result.selection.end);
    EXPECT_EQ(sound.totalFrames(), 8000 - (4000 - (result.selection.end - 1000)));
  }
}

TEST(EffectDescriptors, ConversionsToTheCurrentFormatAskForNoUndoStep) {
  SoundBuffer mono = soundOf({100, 200, 300, 400}, 1);
  EffectRequest request;
  EXPECT_EQ(effectOf(cmd::ConvertToMono).run(mono, request, nullptr).status, EditStatus::NothingToDo);
  request.sampleRate = 8000;
  EXPECT_EQ(effectOf(cmd::ConvertSampleRate).run(mono, request, nullptr).status, EditStatus::NothingToDo);
  EXPECT_EQ(samplesOf(mono), (std::vector<Sample>{100, 200, 300, 400}));

  const EditResult stereo = effectOf(cmd::ConvertToStereo).run(mono, request, nullptr);
  EXPECT_EQ(stereo.status, EditStatus::Done);
  EXPECT_EQ(stereo.selection, Selection{});
  EXPECT_EQ(stereo.leadInFrames, 0);
  EXPECT_EQ(samplesOf(mono), (std::vector<Sample>{100, 100, 200, 200, 300, 300, 400, 400}));

  request.sampleRate = 16000;
  EXPECT_EQ(effectOf(cmd::ConvertSampleRate).run(mono, request, nullptr).status, EditStatus::Done);
  EXPECT_EQ(mono.sampleRate(), 16000);
  EXPECT_EQ(mono.channels(), 2);
}

}  // namespace
