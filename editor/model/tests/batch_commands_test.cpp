#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/block_store.h"
#include "editor/model/batch_commands.h"
#include "effects/amplitude_effects.h"
#include "testkit/block_store_environment.h"
#include "testkit/testkit.h"

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

class BatchCommands : public ::testing::Test {
 protected:
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  testkit::ScratchFolder data;
  BatchDefaults defaults{*store, data.path()};

  std::string describe(uint32_t index, std::vector<uint8_t> parameters) {
    return describeBatchCommand({index, std::move(parameters)}, defaults);
  }
};

SoundBuffer soundOf(const std::vector<Sample>& samples, int channels) {
  SoundBuffer sound;
  auto writer = sound.openWriter(8000, channels);
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

TEST_F(BatchCommands, EveryCommandHasItsNameAndBlockSize) {
  struct Row {
    uint32_t index;
    const char* name;
    size_t bytes;
  };
  const Row rows[] = {{0, "Auto Trim", 0},
                      {1, "Insert Silence At The Start", 4},
                      {2, "Insert Silence At The End", 4},
                      {3, "Amplify", 2},
                      {4, "Normalize", 2},
                      {5, "High-Pass Filter", 4},
                      {6, "Equalizer", 129},
                      {7, "Echo", 6},
                      {8, "Reverb", 6},
                      {9, "Envelope", 129},
                      {10, "Automatic Gain Control", 0},
                      {11, "Noise Reduction (Auto Spectral Subtraction)", 1},
                      {12, "Noise Reduction (Multi-band Noise Gating)", 1},
                      {13, "Speed and Pitch Change", 2},
                      {14, "Speed Change", 2},
                      {15, "Pitch Change", 2},
                      {16, "Dynamic Range Compressor", 3},
                      {17, "Convert Sample Rate", 4},
                      {18, "Convert Channel (Mono <-> Stereo)", 1},
                      {19, "Stereo Pan", 4},
                      {20, "Reduce Vocals", 0}};
  for (const Row& row : rows) {
    EXPECT_STREQ(batchCommandName(row.index), row.name);
    EXPECT_EQ(batchParameterSize(row.index), row.bytes) << row.name;
    // A new command carries a whole block, so the script says what runs.
    EXPECT_EQ(newBatchCommand(row.index, defaults).parameters.size(), row.bytes) << row.name;
  }
  EXPECT_STREQ(batchCommandName(21), "");
}

TEST_F(BatchCommands, DescriptionsShowTheBlockOrTheStoredValues) {
  EXPECT_EQ(describe(1, {0xE8, 3, 0, 0}), "Silence Time (ms) = 1000");
  EXPECT_EQ(describe(3, {0x9C, 0xFF}), "Amplify Gain (%) = -100");
  EXPECT_EQ(describe(7, {0x20, 3, 0, 0, 40, 0}), "Echo Time (ms) = 800, Echo Gain (%) = 40");
  // Time first in the block, level first among the effect's values.
  EXPECT_EQ(describe(8, {0xC8, 0, 0, 0, 70, 0}), "Reverb Time (ms) = 200, Reverb Level (%) = 70");
  EXPECT_EQ(describe(12, {0xEC}), "Noise Gate Level (dB) = -20");
  EXPECT_EQ(describe(11, {200}), "Threshold 200");
  // The dialog's list: index 2 is "2:1" there, so it is here.
  EXPECT_EQ(describe(16, {0xF6, 4, 2}), "Threshold (db) = -10, Ratio = 2:1, Limit (db) = 4");
  EXPECT_EQ(describe(19, {25, 0, 0, 0}), "Stereo Pan = 25%");
  EXPECT_EQ(describe(6, {}), "Click on Settings to view or change.");
  EXPECT_EQ(describe(0, {}), "");

  // Short blocks: the stored values, or their defaults.
  EXPECT_EQ(describe(4, {}), "Normalize Peak Level (%) = 100");
  store->writeNumber("StoredValues", "NormalizePeakLevel", 90);
  store->writeNumber("StoredValues", "EchoTime", 300);
  EXPECT_EQ(describe(4, {1}), "Normalize Peak Level (%) = 90");
  EXPECT_EQ(describe(7, {1, 2, 3}), "Echo Time (ms) = 300, Echo Gain (%) = 50");
  EXPECT_EQ(describe(17, {}), "Convert Sample Rate = 44100");
  EXPECT_EQ(describe(18, {}), "Convert Channel = 1");
}

TEST_F(BatchCommands, ValuesOutsideTheDialogsRangesAreRefused) {
  struct Row {
    uint32_t index;
    std::vector<uint8_t> parameters;
    bool refused;
  };
  const Row rows[] = {
      {17, {0, 0, 0, 0}, true},                // a sample rate of 0
      {17, {0x80, 0xBB, 0, 0}, false},         // 48,000
      {19, {150, 0, 0, 0}, true},              // a pan of 150
      {19, {100, 0, 0, 0}, false},
      {7, {0, 0x5A, 0x62, 0x02, 50, 0}, true},  // an echo of 40,000,000 ms
      {7, {0xB8, 0x0B, 0, 0, 99, 0}, false},    // 3,000 ms, 99 %
      {7, {0xB8, 0x0B, 0, 0, 100, 0}, true},
      {18, {3}, true},
      {18, {0}, true},
      {4, {101, 0}, true},
      {5, {0, 0, 0, 0}, true},
      {11, {0}, true},
      {16, {0x80, 0, 0}, true},  // a threshold of -128
      {16, {0, 0, 9}, false},    // a ratio past the list is skipped, not refused
      {6, std::vector<uint8_t>(129, 0xFF), false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(batchCommandProblem({row.index, row.parameters}, defaults).has_value(), row.refused)
        << batchCommandName(row.index) << " " << describe(row.index, row.parameters);
  // A stored value outside the range is refused just the same.
  store->writeNumber("StoredValues", "EchoTime", 40000000);
  EXPECT_TRUE(batchCommandProblem({7, {}}, defaults).has_value());
  SoundBuffer sound = soundOf(std::vector<Sample>(200, 1000), 2);
  EXPECT_EQ(runBatchCommand(sound, {17, {0, 0, 0, 0}}, defaults), BatchCommandOutcome::Refused);
  EXPECT_EQ(sound.sampleRate(), 8000);
}

TEST_F(BatchCommands, CurveBlocksAreKeptToSixtyFourRisingPoints) {
  std::vector<uint8_t> block(129, 0);
  block[0] = 200;  // more points than a curve holds
  for (int i = 0; i < 64; ++i) {
    block[1 + 2 * i] = static_cast<uint8_t>(i % 2 ? 10 : 250);  // positions going back and forth
    block[2 + 2 * i] = 128;
  }
  const BatchValues values = resolveBatchValues({9, block}, defaults);
  ASSERT_EQ(values.curve.points.size(), kMaxEnvelopePoints);
  for (size_t i = 1; i < values.curve.points.size(); ++i)
    EXPECT_GE(values.curve.points[i].position, values.curve.points[i - 1].position);
  // The block of a curve holds it whole again.
  EXPECT_EQ(batchParametersOf(9, values).size(), kBatchCurveBytes);
  EXPECT_EQ(resolveBatchValues({9, batchParametersOf(9, values)}, defaults).curve.points.size(), 64u);
  // A short block reads the curve files of the data folder.
  ASSERT_TRUE(saveEnvelopeFile(data.path(), fadeOutEnvelope()));
  EXPECT_EQ(resolveBatchValues({9, {}}, defaults).curve.points.size(), fadeOutEnvelope().points.size());
}

TEST_F(BatchCommands, RunsEachCommandOnTheWholeSound) {
  const std::vector<Sample> ramp = {1000, -1000, 2000, -2000, 4000, -4000, 8000, -8000};
  // Amplify 50 % on both channels of every frame.
  SoundBuffer sound = soundOf(ramp, 2);
  ASSERT_EQ(runBatchCommand(sound, {3, {50, 0}}, defaults), BatchCommandOutcome::Done);
  EXPECT_EQ(samplesOf(sound), (std::vector<Sample>{500, -500, 1000, -1000, 2000, -2000, 4000, -4000}));
  // Silence at the start and at the end: 1 ms at 8,000 Hz is 8 frames.
  ASSERT_EQ(runBatchCommand(sound, {1, {1, 0, 0, 0}}, defaults), BatchCommandOutcome::Done);
  ASSERT_EQ(runBatchCommand(sound, {2, {2, 0, 0, 0}}, defaults), BatchCommandOutcome::Done);
  ASSERT_EQ(sound.totalFrames(), 4 + 8 + 16);
  EXPECT_EQ(samplesOf(sound)[16], 500);
  // Convert Channel to mono, then to what the sound already is.
  ASSERT_EQ(runBatchCommand(sound, {18, {1}}, defaults), BatchCommandOutcome::Done);
  EXPECT_EQ(sound.channels(), 1);
  EXPECT_EQ(runBatchCommand(sound, {18, {1}}, defaults), BatchCommandOutcome::Skipped);
  // Stereo effects leave a mono sound alone rather than silence it.
  const std::vector<Sample> before = samplesOf(sound);
  EXPECT_EQ(runBatchCommand(sound, {20, {}}, defaults), BatchCommandOutcome::Skipped);
  EXPECT_EQ(runBatchCommand(sound, {19, {0, 0, 0, 0}}, defaults), BatchCommandOutcome::Skipped);
  // The dialog's seven ratios: index 8 skips the compressor, the sound unchanged.
  EXPECT_EQ(runBatchCommand(sound, {16, {0xEC, 3, 8}}, defaults), BatchCommandOutcome::Skipped);
  EXPECT_EQ(runBatchCommand(sound, {16, {0xEC, 3, 7}}, defaults), BatchCommandOutcome::Skipped);
  EXPECT_EQ(samplesOf(sound), before);
  // Convert Sample Rate.
  ASSERT_EQ(runBatchCommand(sound, {17, {0x22, 0x56, 0, 0}}, defaults), BatchCommandOutcome::Done);
  EXPECT_EQ(sound.sampleRate(), 22050);
}

TEST_F(BatchCommands, BlocksWrittenFromValuesReadBackTheSame) {
  for (uint32_t index = 0; index < kBatchCommandCount; ++index) {
    if (batchCommandUsesCurve(index)) continue;
    BatchValues values = resolveBatchValues({index, {}}, defaults);
    for (int32_t& value : values.values) value = value == 0 ? -3 : value - 1;
    const std::vector<uint8_t> block = batchParametersOf(index, values);
    const BatchValues back = resolveBatchValues({index, block}, defaults);
    // The fields the block holds come back; unsigned one-byte fields wrap.
    EXPECT_EQ(batchParametersOf(index, back), block) << batchCommandName(index);
  }
}

}  // namespace
