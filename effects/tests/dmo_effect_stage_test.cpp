// The media-object stage against objects of the test's own that behave as
// media objects may: hold input back and give it later in one burst, work in
// place, refuse a format, fail in the middle.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "effects/dmo_effect_stage.h"
#include "effects/filter_job.h"
#include "effects/tests/edit_test_support.h"

using namespace edittest;

namespace {

class FakeMediaObject : public MediaObjectPort {
 public:
  bool setPcmType(int32_t sampleRate, int channels) override {
    calls += "type " + std::to_string(sampleRate) + "/" + std::to_string(channels) + ";";
    return acceptsType;
  }
  bool processesInPlace() const override { return inPlace; }
  bool processInPlace(uint8_t* data, uint32_t bytes) override {
    calls += "inplace " + std::to_string(bytes) + ";";
    auto* pcm = reinterpret_cast<int16_t*>(data);
    for (uint32_t i = 0; i < bytes / 2; ++i) pcm[i] = static_cast<int16_t>(std::min(32767, -pcm[i]));
    return true;
  }
  // Keeps every input until it holds two, then gives both back at once.
  InputResult processInput(const uint8_t* data, uint32_t bytes) override {
    calls += "input " + std::to_string(bytes) + ";";
    held.insert(held.end(), data, data + bytes);
    ++heldInputs;
    return heldInputs >= 2 ? InputResult::Accepted : InputResult::NoOutput;
  }
  bool processOutput(uint8_t* data, uint32_t capacity, uint32_t& produced, bool& more) override {
    calls += "output;";
    if (failOutput) return false;
    produced = static_cast<uint32_t>(std::min<size_t>(capacity, held.size()));
    std::memcpy(data, held.data(), produced);
    held.erase(held.begin(), held.begin() + produced);
    more = !held.empty();
    if (held.empty()) heldInputs = 0;
    produced += overclaim;
    return true;
  }
  void discontinuity() override { calls += "discontinuity;"; }

  bool acceptsType = true;
  bool inPlace = false;
  bool failOutput = false;
  uint32_t overclaim = 0;  // bytes claimed beyond what was written
  std::string calls;
  std::vector<uint8_t> held;
  int heldInputs = 0;
};

JobResult applyObject(SoundBuffer& sound, int32_t start, int32_t end, std::shared_ptr<MediaObjectPort> object) {
  return runFilter(sound, start, end, "DirectX Effects",
                   [&](SampleSourceRef input) { return makeRef<DmoEffectStage>(std::move(input), object); }, nullptr);
}

std::vector<Sample> stereoNoise(int32_t frames) {
  std::vector<Sample> samples;
  uint32_t state = 1;
  for (int32_t i = 0; i < frames * 2; ++i) {
    state = state * 1664525u + 1013904223u;
    samples.push_back((static_cast<int32_t>(state >> 16) - 32768) * 16);
  }
  return samples;
}

}  // namespace

TEST(DmoEffectStage, OutputGivenInABurstIsCarriedToTheNextReadsInOrder) {
  const std::vector<Sample> before = stereoNoise(20000);
  SoundBuffer sound = soundFrom(before, 2, 48000);
  auto object = std::make_shared<FakeMediaObject>();
  ASSERT_EQ(applyObject(sound, 0, 20000, object), JobResult::Done);
  // The object gives nothing for the first block and two blocks for the
  // second, so the sound comes out one block late, silence first.
  const std::vector<Sample> after = samplesOf(sound);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    const Sample expected = i < 2 * 8192 ? 0 : before[i - 2 * 8192];
    ASSERT_EQ(after[i], expected) << i;
  }
  EXPECT_EQ(object->calls,
            "type 48000/2;"
            "input 32768;discontinuity;"
            "input 32768;output;output;discontinuity;"
            "input 14464;discontinuity;");
}

TEST(DmoEffectStage, AnObjectClaimingMoreThanTheBufferHoldsNeverOverrunsIt) {
  SoundBuffer sound = soundFrom(stereoNoise(20000), 2);
  auto object = std::make_shared<FakeMediaObject>();
  object->overclaim = 1 << 20;
  // Address sanitizer builds would stop at any write past the buffers.
  EXPECT_EQ(applyObject(sound, 0, 20000, object), JobResult::Done);
  EXPECT_EQ(sound.totalFrames(), 20000);
}

TEST(DmoEffectStage, AnInPlaceObjectProcessesEachBlockWhereItLies) {
  // 16-bit values apart from the last, which is beyond 16 bits and saturates.
  SoundBuffer sound = soundFrom({16, -32, 32767 * 16, -32768 * 16, 100 * 16, 600000}, 2);
  auto object = std::make_shared<FakeMediaObject>();
  object->inPlace = true;
  ASSERT_EQ(applyObject(sound, 0, 3, object), JobResult::Done);
  EXPECT_EQ(samplesOf(sound), (std::vector<Sample>{-16, 32, -32767 * 16, 32767 * 16, -100 * 16, -32767 * 16}));
  EXPECT_EQ(object->calls, "type 44100/2;inplace 12;");
}

TEST(DmoEffectStage, AStageThatIsNotReadyOrFailsLeavesTheSoundAsItWas) {
  const std::vector<Sample> before = stereoNoise(20000);
  auto refusing = std::make_shared<FakeMediaObject>();
  refusing->acceptsType = false;
  auto failing = std::make_shared<FakeMediaObject>();
  failing->failOutput = true;
  for (const std::shared_ptr<MediaObjectPort>& object :
       {std::shared_ptr<MediaObjectPort>(refusing), std::shared_ptr<MediaObjectPort>(failing),
        std::shared_ptr<MediaObjectPort>()}) {
    SoundBuffer sound = soundFrom(before, 2);
    EXPECT_EQ(applyObject(sound, 0, 20000, object), JobResult::Failed);
    EXPECT_EQ(samplesOf(sound), before);
  }
  EXPECT_EQ(refusing->calls, "type 44100/2;");
}
