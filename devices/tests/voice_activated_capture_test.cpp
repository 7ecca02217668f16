#include "devices/voice_activated_capture.h"

#include <gtest/gtest.h>

#include <chrono>

#include "devices/tests/capture_test_support.h"
#include "devices/tests/support/fake_wave_in_device.h"

using namespace capturetest;

namespace {

constexpr int kQuiet = 50;     // 16-bit amplitude: about -44 dB, below any trigger used here
constexpr int kLoud = 10000;   // about +2 dB

// A capture over a fake device, with the main thread's notifications run
// whenever the test delivers input.
// Long idle waits unless a test wants them short: a post then always means
// a block was dealt with.
CaptureTimings quietTimings() {
  CaptureTimings timings;
  timings.idleWaitMs = 60000;
  return timings;
}

struct Rig {
  explicit Rig(CaptureTimings timings = quietTimings()) : capture(system->maker(), [this] { ++posts; }, timings) {
    capture.set_listener(&listener, nullptr);
  }
  bool start(const Signal& signal, int trigger, int64_t hangMs, int64_t ceilingMs = 0) {
    sink = makeRef<MemorySink>(signal.rate, signal.channels, result);
    system->feed(signal.samples);
    return capture.start(sink, ceilingMs, trigger, hangMs);
  }
  // Delivers the fed input one block of frames at a time and waits until the
  // engine has taken each.
  void deliverBlocks(int64_t blocks, int64_t framesPerBlock) {
    // The thread starts the device just after start() has seen it open.
    ASSERT_TRUE(system->waitUntil([&] { return system->started(); }, 5000));
    for (int64_t b = 0; b < blocks; ++b) {
      const int before = posts;
      ASSERT_EQ(system->deliver(framesPerBlock), framesPerBlock);
      // The thread posts once it has dealt with the block.
      ASSERT_TRUE(system->waitUntil([&] { return posts > before; }, 5000));
      capture.onNotify();
    }
  }
  std::vector<Sample> stopAndTake() {
    sink.reset();
    capture.stop();
    EXPECT_TRUE(result->committed);
    std::lock_guard hold(result->lock);
    return result->samples;
  }

  std::shared_ptr<FakeWaveInSystem> system = FakeWaveInSystem::create();
  std::atomic<int> posts{0};
  NewsListener listener;
  VoiceActivatedCapture capture;
  std::shared_ptr<MemorySink::Result> result = std::make_shared<MemorySink::Result>();
  SourceRef<MemorySink> sink;
};

std::vector<Sample> join(std::initializer_list<std::vector<Sample>> parts) {
  std::vector<Sample> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

TEST(VoiceActivatedCapture, TriggerAtTheFloorRecordsFromTheFirstBlockAndStopTrimsNothing) {
  Rig rig;
  Signal signal{8000, 2, {}};
  signal.tone(300, kLoud).tone(2000, 0).tone(250, kQuiet);
  ASSERT_TRUE(rig.start(signal, -127, VoiceActivatedCapture::kEndlessHangMs));
  EXPECT_EQ(rig.capture.releaseLevel(), -127);
  // 800 frames (100 ms) a buffer at 8,000 Hz; the last 50 ms stay in a
  // buffer the device has not given back until the stop.
  rig.deliverBlocks(25, 800);
  ASSERT_EQ(rig.system->deliver(400), 400);
  EXPECT_EQ(rig.capture.state(), VoiceActivatedCapture::kRecording);
  EXPECT_EQ(rig.listener.lastPosition, 2500);
  std::vector<Sample> recorded = rig.stopAndTake();
  EXPECT_EQ(recorded, referenceFiltered(signal)) << "every frame, the drained half buffer too";
  EXPECT_EQ(rig.listener.startedCalls, 1);
  EXPECT_EQ(rig.listener.stoppedCalls, 1);
  ASSERT_EQ(rig.system->openings().size(), 1u);
  EXPECT_EQ(rig.system->openings()[0].format.channels, 2);
  EXPECT_EQ(rig.system->openings()[0].format.sampleRate, 8000);
  EXPECT_EQ(rig.system->openDevices(), 0);
}

TEST(VoiceActivatedCapture, ABurstLoudInTheFirstHalfKeepsTheSecondHalfOfTheBlockBefore) {
  // Burst 20 ms into block 10: the first half reaches the trigger.
  Rig early;
  Signal a;
  a.tone(1020, kQuiet).tone(1480, kLoud);
  std::vector<Sample> filteredA = referenceFiltered(a);
  ASSERT_EQ(referencePeakLevel(filteredA, 1, 8000, 400), 2);
  ASSERT_LT(referencePeakLevel(filteredA, 1, 7200, 800), -28);
  ASSERT_TRUE(early.start(a, -24, 5000));
  early.deliverBlocks(25, 800);
  EXPECT_EQ(early.stopAndTake(), slice(filteredA, 1, 9 * 800 + 400, 25 * 800));
  std::vector<CaptureNews> news = early.listener.taken();
  int changes = 0;
  for (const auto& n : news) changes += n.stateChanged;
  EXPECT_EQ(changes, 1);

  // Burst 70 ms into block 10: only its second half is loud, nothing before it is kept.
  Rig late;
  Signal b;
  b.tone(1070, kQuiet).tone(1430, kLoud);
  std::vector<Sample> filteredB = referenceFiltered(b);
  ASSERT_TRUE(late.start(b, -24, 5000));
  late.deliverBlocks(25, 800);
  EXPECT_EQ(late.stopAndTake(), slice(filteredB, 1, 10 * 800, 25 * 800));
}

TEST(VoiceActivatedCapture, LongSilenceShrinksTo450MsAndRecordingGoesOnThereAndTheTailKeeps50Ms) {
  Rig rig;
  Signal s;
  // Blocks: 0-9 quiet, 10-19 loud, 20-79 quiet (6 s), 80-89 loud, 90-109 quiet (2 s).
  s.tone(1000, kQuiet).tone(1000, kLoud).tone(6000, kQuiet).tone(1000, kLoud).tone(2000, kQuiet);
  std::vector<Sample> f = referenceFiltered(s);
  // The ends of the loud stretches ring below the release level (-28 dB).
  ASSERT_LT(referencePeakLevel(f, 1, 20 * 800, 800), -28);
  ASSERT_LT(referencePeakLevel(f, 1, 90 * 800, 800), -28);
  ASSERT_TRUE(rig.start(s, -24, 5000));

  rig.deliverBlocks(20, 800);
  EXPECT_EQ(rig.capture.state(), VoiceActivatedCapture::kRecording);
  EXPECT_EQ(rig.capture.lastLoudMs(), 1050);
  // 5 s of silence is not yet more than the hang time; the next block is.
  rig.deliverBlocks(50, 800);
  EXPECT_EQ(rig.capture.state(), VoiceActivatedCapture::kRecording);
  rig.deliverBlocks(1, 800);
  EXPECT_EQ(rig.capture.state(), VoiceActivatedCapture::kWaiting);
  EXPECT_EQ(rig.capture.positionMs(), 1050 + 450);
  rig.deliverBlocks(39, 800);
  EXPECT_EQ(rig.capture.lastLoudMs(), 1050 + 450 + 50 + 1000);

  std::vector<Sample> expected = join({slice(f, 1, 9 * 800 + 400, 20 * 800),      // look-back and sound
                                       slice(f, 1, 20 * 800, 20 * 800 + 3600),    // 450 ms of the silence
                                       slice(f, 1, 79 * 800 + 400, 90 * 800),     // look-back and sound
                                       slice(f, 1, 90 * 800, 90 * 800 + 400)});   // 50 ms after it
  std::vector<Sample> recorded = rig.stopAndTake();
  EXPECT_EQ(recorded.size(), expected.size());
  EXPECT_EQ(recorded, expected);
}

TEST(VoiceActivatedCapture, FullScaleInputShowsLevel12AndTheCeilingIsReported) {
  Rig rig;
  Signal s{44100, 2, {}};
  s.tone(600, 32767, 1000);
  ASSERT_TRUE(rig.start(s, -24, 5000, 300));
  rig.deliverBlocks(6, 4410);
  std::vector<CaptureNews> news = rig.listener.taken();
  ASSERT_FALSE(news.empty());
  EXPECT_EQ(news.back().levels.channels, 2);
  EXPECT_EQ(news.back().levels.levels[0], 12);
  EXPECT_EQ(news.back().levels.levels[1], 12);
  EXPECT_TRUE(news.back().ceilingReached);
  EXPECT_FALSE(news.front().ceilingReached);
  EXPECT_TRUE(rig.capture.ceilingReached());
  rig.stopAndTake();
}

TEST(VoiceActivatedCapture, RestartEmptiesTheSinkAndWaitsForSoundOnAFreshDevice) {
  Rig rig;
  Signal s;
  s.tone(500, kLoud).tone(500, kQuiet).tone(500, kLoud);
  std::vector<Sample> f = referenceFiltered(s);
  ASSERT_TRUE(rig.start(s, -24, 5000));
  rig.deliverBlocks(5, 800);
  EXPECT_EQ(rig.capture.positionMs(), 500);
  rig.capture.restart();
  EXPECT_EQ(rig.listener.startedCalls, 2);
  EXPECT_EQ(rig.capture.positionMs(), 0);
  EXPECT_EQ(rig.capture.state(), VoiceActivatedCapture::kWaiting);
  EXPECT_EQ(rig.system->openings().size(), 2u);
  rig.deliverBlocks(10, 800);
  // The filter starts afresh with the new run: compare with the rest alone.
  Signal rest;
  rest.samples.assign(s.samples.begin() + 4000, s.samples.end());
  std::vector<Sample> restFiltered = referenceFiltered(rest);
  EXPECT_EQ(rig.stopAndTake(), slice(restFiltered, 1, 4 * 800 + 400, 10 * 800));
}

TEST(VoiceActivatedCapture, RefusedDevicesAndBadSinksFailAtOnce) {
  Rig refused;
  refused.system->refuseOpens(true, true);
  Signal s;
  s.tone(100, kLoud);
  EXPECT_FALSE(refused.start(s, -127, 5000));
  auto openings = refused.system->openings();
  ASSERT_EQ(openings.size(), 2u);
  EXPECT_FALSE(openings[0].mapped);
  EXPECT_TRUE(openings[1].mapped);
  EXPECT_FALSE(refused.capture.running());
  refused.sink.reset();
  EXPECT_TRUE(refused.result->committed) << "the engine let go of the sink";
  EXPECT_EQ(refused.listener.startedCalls, 0);

  // A plain refusal with a mapped success records.
  Rig mapped;
  mapped.system->refuseOpens(true, false);
  EXPECT_TRUE(mapped.start(s, -127, 5000));
  mapped.stopAndTake();

  Rig bad;
  auto sink = makeRef<MemorySink>(8000, 1, bad.result);
  sink->fail();
  EXPECT_FALSE(bad.capture.start(sink, 0, -127, 5000));
  EXPECT_TRUE(bad.system->openings().empty());
}

TEST(VoiceActivatedCapture, ADeviceThatDeliversNothingShowsSilenceAndStopsPromptly) {
  CaptureTimings timings;
  timings.idleWaitMs = 50;
  Rig rig(timings);
  Signal s;
  ASSERT_TRUE(rig.start(s, -24, 5000));
  ASSERT_TRUE(rig.system->waitUntil([&] { return rig.posts > 0; }, 5000));
  rig.capture.onNotify();
  std::vector<CaptureNews> news = rig.listener.taken();
  ASSERT_FALSE(news.empty());
  EXPECT_EQ(news.back().levels.levels[0], -127);
  EXPECT_FALSE(news.back().newBlock);
  auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(rig.stopAndTake().empty());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_EQ(rig.capture.strayThreads(), 0);
}

TEST(VoiceActivatedCapture, AThreadThatMissesItsStopKeepsTheSinkUntilItEnds) {
  CaptureTimings timings = quietTimings();
  timings.stopWaitMs = 100;
  timings.unprepareRetryMs = 5;
  Rig rig(timings);
  Signal s;
  s.tone(500, kLoud);
  ASSERT_TRUE(rig.start(s, -127, VoiceActivatedCapture::kEndlessHangMs));
  rig.deliverBlocks(3, 800);
  rig.system->holdUnprepare(true);
  rig.sink.reset();
  rig.capture.stop();
  EXPECT_EQ(rig.listener.stoppedCalls, 1);
  EXPECT_FALSE(rig.capture.running());
  EXPECT_EQ(rig.capture.strayThreads(), 1);
  EXPECT_FALSE(rig.result->committed) << "the stray thread still holds the sink";
  int postsBefore = rig.posts;
  rig.system->holdUnprepare(false);
  ASSERT_TRUE(rig.system->waitUntil([&] { return rig.capture.strayThreads() == 0; }, 5000));
  EXPECT_TRUE(rig.result->committed);
  EXPECT_EQ(rig.posts, postsBefore) << "nothing is posted after the owner let go";
  // A new capture runs as before.
  Signal again;
  again.tone(200, kLoud);
  ASSERT_TRUE(rig.start(again, -127, VoiceActivatedCapture::kEndlessHangMs));
  rig.deliverBlocks(2, 800);
  EXPECT_EQ(rig.stopAndTake(), referenceFiltered(again));
}
