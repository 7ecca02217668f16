// The VST host against plug-ins built by the project for these tests
// (effects/tests/plugins): loaded from their files, called through the
// published interface, their own log telling what they were sent.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "effects/filter_job.h"
#include "effects/plugin_samples.h"
#include "effects/tests/edit_test_support.h"
#include "effects/tests/plugins/gain_plugin_log.h"
#include "effects/vst_effect_stage.h"
#include "effects/vst_host.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

using namespace edittest;

namespace {

// The log of the plug-in in the module at path; the module stays loaded by
// the list the test keeps for the whole run.
GainPluginLog& logOf(const std::string& path) {
  static VstModuleList keeper;
  static std::vector<std::shared_ptr<VstPlugin>> held;
  held.push_back(VstPlugin::open(path, 44100, keeper));
  sys::Library module = sys::Library::load(path);  // the same module, one more reference
  auto logFunction = reinterpret_cast<GainPluginLogFunction>(module.symbol("zedGainPluginLog"));
  return *logFunction();
}

struct Call {
  int32_t opcode;
  int64_t value;
  bool operator==(const Call&) const = default;
};

// The requests sent since the log held `from` of them, with their values.
std::vector<Call> callsSince(const GainPluginLog& log, int from) {
  std::vector<Call> calls;
  for (int i = from; i < log.callCount && i < kGainLogCalls; ++i) calls.push_back({log.calls[i].opcode, log.calls[i].value});
  return calls;
}

JobResult applyPlugin(SoundBuffer& sound, int32_t start, int32_t end, std::shared_ptr<VstPlugin> plugin) {
  return runFilter(sound, start, end, "VST Effects",
                   [&](SampleSourceRef input) { return makeVstEffectStage(std::move(input), plugin); }, nullptr);
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<Sample> stereoRamp(int32_t frames) {
  std::vector<Sample> samples;
  for (int32_t f = 0; f < frames; ++f) {
    samples.push_back((f % 2000 - 1000) * 160);
    samples.push_back(-(f % 3000 - 1500) * 96);
  }
  return samples;
}

}  // namespace

TEST(VstHost, ASelectionIsProcessedInBlocksOfAtMost8192EachAnnouncedToThePlugin) {
  GainPluginLog& log = logOf(ZED_TEST_GAIN_PLUGIN);
  const int callsBefore = log.callCount;
  const int blocksBefore = log.blockCount;
  SoundBuffer sound = soundFrom(stereoRamp(30000), 2, 22050);
  {
    std::shared_ptr<VstPlugin> plugin = VstPlugin::open(ZED_TEST_GAIN_PLUGIN, sound.sampleRate());
    ASSERT_TRUE(plugin);
    ASSERT_EQ(applyPlugin(sound, 5000, 25000, plugin), JobResult::Done);
  }
  using namespace vstop;
  std::vector<Call> expected{{kOpen, 0}, {kMainsChanged, 0}, {kSetSampleRate, 0}, {kMainsChanged, 1}};
  for (int64_t block : {8192, 8192, 3616}) {
    expected.insert(expected.end(), {{kMainsChanged, 0}, {kSetBlockSize, block}, {kMainsChanged, 1}});
  }
  expected.insert(expected.end(), {{kMainsChanged, 0}, {kClose, 0}});
  EXPECT_EQ(callsSince(log, callsBefore), expected);
  EXPECT_FLOAT_EQ(log.calls[callsBefore + 2].option, 22050.0f);
  ASSERT_EQ(log.blockCount - blocksBefore, 3);
  EXPECT_EQ(log.blocks[blocksBefore].frames, 8192);
  EXPECT_EQ(log.blocks[blocksBefore + 1].frames, 8192);
  EXPECT_EQ(log.blocks[blocksBefore + 2].frames, 3616);
  EXPECT_EQ(log.hostVersion, 2);
}

TEST(VstHost, FullScaleReachesThePluginAsOneAndItsOutputIsClampedBack) {
  GainPluginLog& log = logOf(ZED_TEST_GAIN_PLUGIN);
  const int blocksBefore = log.blockCount;
  // Full scale, its negative, and twice full scale, which the plug-in gets
  // as 2.0 and hands back at unity gain: clamped to full scale.
  SoundBuffer sound = soundFrom({524272, -524272, 1048544, -1048544, 16000, -16000}, 2);
  std::shared_ptr<VstPlugin> plugin = VstPlugin::open(ZED_TEST_GAIN_PLUGIN, sound.sampleRate());
  ASSERT_EQ(applyPlugin(sound, 0, 3, plugin), JobResult::Done);
  ASSERT_EQ(log.blockCount - blocksBefore, 1);
  EXPECT_EQ(log.blocks[blocksBefore].firstInput, 1.0f);
  EXPECT_EQ(samplesOf(sound), (std::vector<Sample>{524272, -524272, 524272, -524272, 16000, -16000}));

  EXPECT_EQ(pluginFloatFromSample(-524272), -1.0f);
  EXPECT_EQ(sampleFromPluginFloat(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(sampleFromPluginFloat(std::numeric_limits<float>::infinity()), 524272);
  EXPECT_EQ(sampleFromPluginFloat(-std::numeric_limits<float>::infinity()), -524272);
  EXPECT_EQ(sampleFromPluginFloat(0.5f), 262136);
}

TEST(VstHost, TheProcessedSelectionIsTheGainAppliedWhicheverProcessCallThePluginOffers) {
  for (const char* path : {ZED_TEST_GAIN_PLUGIN, ZED_TEST_ACCUMULATING_GAIN_PLUGIN}) {
    SCOPED_TRACE(path);
    const std::vector<Sample> before = stereoRamp(20000);
    SoundBuffer sound = soundFrom(before, 2);
    std::shared_ptr<VstPlugin> plugin = VstPlugin::open(path, sound.sampleRate());
    ASSERT_TRUE(plugin);
    plugin->setParameter(0, 0.25f);  // a factor of one half
    EXPECT_EQ(plugin->parameterCount(), 1);
    EXPECT_EQ(plugin->parameterName(0), "Gain");
    EXPECT_FLOAT_EQ(plugin->parameter(0), 0.25f);
    // Two passes: an accumulating call on outputs that were not cleared
    // would add the first pass's output to the second's.
    ASSERT_EQ(applyPlugin(sound, 1000, 19000, plugin), JobResult::Done);
    ASSERT_EQ(applyPlugin(sound, 1000, 19000, plugin), JobResult::Done);
    const std::vector<Sample> after = samplesOf(sound);
    ASSERT_EQ(after.size(), before.size());
    int wrong = 0;
    for (size_t i = 0; i < before.size(); ++i) {
      const size_t frame = i / 2;
      const double expected = frame >= 1000 && frame < 19000 ? before[i] / 4.0 : before[i];
      if (std::abs(after[i] - expected) > 1) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(VstHost, ChannelsBeyondThePluginsOutputsPassThrough) {
  const std::vector<Sample> before = stereoRamp(1000);
  SoundBuffer sound = soundFrom(before, 2);
  std::shared_ptr<VstPlugin> plugin = VstPlugin::open(ZED_TEST_MONO_GAIN_PLUGIN, sound.sampleRate());
  ASSERT_TRUE(plugin);
  plugin->setParameter(0, 0.0f);  // silence
  ASSERT_EQ(applyPlugin(sound, 0, 1000, plugin), JobResult::Done);
  const std::vector<Sample> after = samplesOf(sound);
  for (size_t f = 0; f < 1000; ++f) {
    ASSERT_EQ(after[2 * f], 0) << f;
    ASSERT_EQ(after[2 * f + 1], before[2 * f + 1]) << f;
  }
}

TEST(VstHost, AMissingPluginFailsTheEffectAndLeavesTheSoundAsItWas) {
  const std::vector<Sample> before = stereoRamp(100);
  SoundBuffer sound = soundFrom(before, 2);
  EXPECT_EQ(applyPlugin(sound, 0, 100, nullptr), JobResult::Failed);
  EXPECT_EQ(samplesOf(sound), before);
}

TEST(VstModules, TheSameFileChosenTwiceIsLoadedOnceAndOtherFilesAreRefused) {
  testkit::ScratchFolder scratch;
  const std::string notAPlugin = scratch.file("notes.dll");
  ASSERT_TRUE(testkit::writeAll(notAPlugin, bytesOf("not a module")));

  VstModuleList modules;
  GainPluginLog& log = logOf(ZED_TEST_GAIN_PLUGIN);
  const int created = log.created;
  std::shared_ptr<VstPlugin> first = VstPlugin::open(ZED_TEST_GAIN_PLUGIN, 44100, modules);
  std::shared_ptr<VstPlugin> second = VstPlugin::open(ZED_TEST_GAIN_PLUGIN, 48000, modules);
  ASSERT_TRUE(first && second);
  EXPECT_NE(&first->effect(), &second->effect());
  EXPECT_EQ(log.created - created, 2);  // both effects came from the one module
  EXPECT_EQ(modules.moduleCount(), 1u);

  EXPECT_EQ(VstPlugin::open(notAPlugin, 44100, modules), nullptr);
  EXPECT_EQ(VstPlugin::open(sys::joinPath(scratch.path(), "missing.dll"), 44100, modules), nullptr);
  EXPECT_EQ(modules.moduleCount(), 1u);
}

TEST(VstModules, AFolderListsItsPluginsByTheirOwnNamesAfterTheProbesCalls) {
  testkit::ScratchFolder scratch;
  ASSERT_TRUE(testkit::writeAll(scratch.file("b_gain.dll"), testkit::readAll(ZED_TEST_MONO_GAIN_PLUGIN)));
  ASSERT_TRUE(testkit::writeAll(scratch.file("a_broken.dll"), bytesOf("MZ but nothing more")));
  ASSERT_TRUE(testkit::writeAll(scratch.file("readme.txt"), bytesOf("text")));
  std::vector<VstPluginEntry> plugins = listVstPlugins(scratch.path());
  ASSERT_EQ(plugins.size(), 1u);
  EXPECT_EQ(plugins[0].name, "Zed Test Gain");
  EXPECT_EQ(sys::fileNameOf(plugins[0].path), "b_gain.dll");
  EXPECT_TRUE(listVstPlugins(sys::joinPath(scratch.path(), "no such folder")).empty());

  // The probe of a module that is loaded already reaches the same plug-in,
  // whose log shows what the probe asked.
  GainPluginLog& log = logOf(ZED_TEST_MONO_GAIN_PLUGIN);
  const int callsBefore = log.callCount;
  std::optional<VstPluginEntry> entry = probeVstPlugin(ZED_TEST_MONO_GAIN_PLUGIN);
  ASSERT_TRUE(entry);
  EXPECT_EQ(callsSince(log, callsBefore),
            (std::vector<Call>{{vstop::kSetProgram, 0}, {vstop::kGetEffectName, 0}, {vstop::kClose, 0}}));
}
