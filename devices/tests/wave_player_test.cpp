#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "devices/tests/support/fake_wave_out_device.h"
#include "devices/tests/player_test_support.h"
#include "devices/wave_player.h"

namespace {

using namespace devicetest;

class WavePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { makePlayer(PlayerTimings{}); }
  void makePlayer(PlayerTimings timings) {
    player = std::make_unique<WavePlayer>(fake->maker(), main.poster(), timings);
    player->set_listener(&listener, nullptr);
  }
  // Lets the device play until the player closes by itself.
  bool playToTheEnd() {
    for (int round = 0; round < 1000 && player->isOpen(); ++round) {
      fake->play(1 << 20);
      main.pumpUntil(*player, [&] { return !player->isOpen(); }, 20);
    }
    return !player->isOpen();
  }
  bool heard(int32_t ms) {
    return main.pumpUntil(*player, [&] { return !listener.positions().empty() && listener.positions().back() == ms; });
  }
  std::vector<int16_t> playedSince(size_t samples) {
    auto all = fake->playedSamples();
    return std::vector<int16_t>(all.begin() + static_cast<ptrdiff_t>(samples), all.end());
  }

  std::shared_ptr<FakeWaveOutSystem> fake = FakeWaveOutSystem::create();
  MainThread main;
  RecordingListener listener;
  std::unique_ptr<WavePlayer> player;
};

TEST_F(WavePlayerTest, TheRingHoldsSixtyFourBlocksAndTheDevicePlaysTheSourceExactly) {
  // 10 s at 8,000 Hz stereo: 100 blocks of 800 frames.
  auto samples = rampSamples(80000, 2);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 2, 8000)));
  EXPECT_EQ(player->state(), WavePlayer::kPlaying);
  EXPECT_EQ(player->framesPerBlock(), 800);
  auto openings = fake->openings();
  ASSERT_EQ(openings.size(), 1u);
  EXPECT_EQ(openings[0].format.sampleRate, 8000);
  EXPECT_EQ(openings[0].format.channels, 2);
  EXPECT_FALSE(openings[0].mapped);

  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  EXPECT_FALSE(fake->waitForQueued(65, 200));  // no more than the ring
  EXPECT_EQ((std::vector<std::string>{"started", "position"}), listener.names());

  fake->play(1100);  // the first, quarter block, a whole one and a bit
  ASSERT_TRUE(heard(125));
  EXPECT_EQ(player->position(), 1000);
  ASSERT_TRUE(fake->waitForQueued(64, 5000));  // refilled

  ASSERT_TRUE(playToTheEnd());
  EXPECT_EQ(fake->playedSamples(), expected16(samples));
  EXPECT_EQ(listener.positions().back(), 10000);
  EXPECT_EQ(listener.names().back(), "stopped");
  EXPECT_EQ(listener.count("stopped"), 1);
  EXPECT_EQ(fake->openDevices(), 0);
  auto positions = listener.positions();
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST_F(WavePlayerTest, ASoundOfFewerThanTwentyFramesPlaysAsOneShortBlockAndCloses) {
  auto samples = rampSamples(15, 1);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 1000)));
  EXPECT_EQ(player->framesPerBlock(), 100);
  ASSERT_TRUE(fake->waitForQueued(1, 5000));
  EXPECT_EQ(fake->play(1000), 15);
  ASSERT_TRUE(main.pumpUntil(*player, [&] { return !player->isOpen(); }));
  EXPECT_EQ(fake->playedSamples(), expected16(samples));
  EXPECT_EQ(listener.positions().back(), 15);  // ms at 1,000 Hz
  EXPECT_EQ(listener.names().back(), "stopped");
}

TEST_F(WavePlayerTest, HoldLoopsAQuarterBlockFromTheHeardPlaceSeekMovesItAndResumeGoesOnFromIt) {
  // 8,010 Hz: blocks of 801 frames, snippets of 201, the fourth copy cut to 198.
  auto samples = rampSamples(8010 * 5, 1);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8010)));
  ASSERT_TRUE(fake->waitForQueued(50, 5000));
  fake->play(201 + 801 + 400);  // the quarter block, a whole one, half of the next
  ASSERT_TRUE(main.pumpUntil(*player, [&] { return player->position() == 1002; }));
  listener.calls.clear();

  player->hold();
  EXPECT_EQ(player->state(), WavePlayer::kHolding);
  EXPECT_EQ((std::vector<std::string>{"levels", "held", "position"}), listener.names());
  EXPECT_EQ(listener.positions().back(), 1002 * 1000 / 8010);
  EXPECT_EQ(fake->queuedBlocks(), 1);

  auto snippetAt = [&](int32_t frame, int passes) {
    std::vector<int16_t> out;
    for (int pass = 0; pass < passes; ++pass)
      for (int copy = 0; copy < 4; ++copy)
        for (int f = 0; f < (copy < 3 ? 201 : 198); ++f) out.push_back(static_cast<int16_t>(samples[frame + f] / 16));
    return out;
  };
  size_t before = fake->playedSamples().size();
  EXPECT_EQ(fake->play(801 * 3), 801 * 3);  // a looping block never runs dry
  EXPECT_EQ(playedSince(before), snippetAt(1002, 3));
  EXPECT_EQ(player->position(), 1002);

  // Dragging the cursor while held: each place sounds.
  for (int32_t place : {4000, 100, 30000}) {
    player->seek(place);
    EXPECT_EQ(player->state(), WavePlayer::kHolding);
    EXPECT_EQ(player->position(), place);
    before = fake->playedSamples().size();
    fake->play(801);
    EXPECT_EQ(playedSince(before), snippetAt(place, 1)) << place;
  }

  listener.calls.clear();
  player->resume();
  EXPECT_EQ(player->state(), WavePlayer::kPlaying);
  EXPECT_EQ(listener.names(), std::vector<std::string>{"started"});
  ASSERT_TRUE(fake->waitForQueued(10, 5000));
  before = fake->playedSamples().size();
  fake->play(1000);
  auto resumed = playedSince(before);
  ASSERT_EQ(resumed.size(), 1000u);
  for (int f = 0; f < 1000; ++f) ASSERT_EQ(resumed[f], samples[30000 + f] / 16) << f;
}

TEST_F(WavePlayerTest, SeekWhilePlayingRestartsTheRingAtTheNewPlace) {
  auto samples = rampSamples(8000 * 20, 1);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  listener.calls.clear();
  player->seek(100000);
  EXPECT_EQ(listener.positions(), std::vector<int32_t>{12500});
  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  size_t before = fake->playedSamples().size();
  fake->play(800);
  auto played = playedSince(before);
  ASSERT_EQ(played.size(), 800u);
  EXPECT_EQ(played.front(), samples[100000] / 16);
  EXPECT_EQ(played.back(), samples[100799] / 16);
  ASSERT_TRUE(heard(12525));  // the quarter block
}

TEST_F(WavePlayerTest, ReportsTheLevelsOfTheBlockJustHeard) {
  // Blocks of 200 (the first) and 800 frames: silence, full-scale sine, silence.
  std::vector<Sample> samples(2400, 0);
  for (int f = 200; f < 1000; ++f) samples[f] = static_cast<Sample>(std::lround(524272 * std::sin(f * 0.3)));
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  ASSERT_TRUE(fake->waitForQueued(3, 5000));
  fake->play(200);
  ASSERT_TRUE(heard(25));
  EXPECT_EQ(listener.lastLevels.channels, 1);
  EXPECT_EQ(listener.lastLevels.levels[0], -127);
  fake->play(800);
  ASSERT_TRUE(heard(125));
  EXPECT_EQ(listener.lastLevels.levels[0], 12);
  EXPECT_EQ(player->levels().levels[0], 12);
}

TEST_F(WavePlayerTest, SamplesBeyondSixteenBitsClipOrAreLimitedButNeverWrap) {
  // Declared within range, yet a 24-bit full-scale peak: saturates.
  std::vector<Sample> edge{524287, -524288, 524272, 524280};
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(edge, 1, 8000)));
  ASSERT_TRUE(playToTheEnd());
  EXPECT_EQ(fake->playedSamples(), (std::vector<int16_t>{32767, -32768, 32767, 32767}));

  // Declared louder than 16 bits: limited to the peak.
  std::vector<Sample> loud(8000);
  for (int f = 0; f < 8000; ++f) loud[f] = static_cast<Sample>(std::lround(4 * 524288 * std::sin(f * 0.01)));
  size_t before = fake->playedSamples().size();
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(loud, 1, 8000, 1 << 21)));
  ASSERT_TRUE(playToTheEnd());
  auto played = playedSince(before);
  ASSERT_EQ(played.size(), loud.size());
  for (size_t f = 0; f < loud.size(); ++f) {
    ASSERT_TRUE(loud[f] >= 0 ? played[f] >= 0 : played[f] <= 0) << f;
  }
}

TEST_F(WavePlayerTest, NoDeviceMeansNoPlayAfterOneTryWithTheMapper) {
  std::vector<Sample> samples(100, 0);
  fake->setDeviceNames({"One", "Two", "Three"});
  fake->refuseOpens(true, true);
  player->setDevice(2);
  EXPECT_FALSE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  EXPECT_EQ(player->state(), WavePlayer::kClosed);
  auto openings = fake->openings();
  ASSERT_EQ(openings.size(), 2u);
  EXPECT_EQ(openings[0].deviceNumber, 2u);
  EXPECT_FALSE(openings[0].mapped);
  EXPECT_TRUE(openings[1].mapped);
  EXPECT_TRUE(listener.calls.empty());

  fake->refuseOpens(true, false);  // only through the mapper
  EXPECT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  player->stop();

  fake->refuseOpens(false, false);
  player->setDevice(9);  // there is no tenth device
  EXPECT_FALSE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  EXPECT_EQ(player->lastOpenStatus(), DeviceStatus::NoDevice);

  player->setDevice(0);
  auto bad = makeRef<MemorySource>(samples, 1, 8000);
  bad->setBad();
  size_t tries = fake->openings().size();
  EXPECT_FALSE(player->open_and_play(bad));
  EXPECT_FALSE(player->open_and_play(SampleSourceRef()));
  EXPECT_EQ(fake->openings().size(), tries);
}

TEST_F(WavePlayerTest, StopTakesEveryBlockBackBeforeClosingEvenWhenTheDeviceHesitates) {
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(rampSamples(80000, 1), 1, 8000)));
  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  fake->answerStillPlaying(3);
  player->stop();
  EXPECT_EQ(fake->unprepareCalls(), 64 + 3);
  EXPECT_EQ(fake->openDevices(), 0);
  EXPECT_EQ(listener.names().back(), "stopped");
  EXPECT_EQ(player->position(), 0);
  EXPECT_FALSE(player->source());
  player->stop();  // closed: nothing
  EXPECT_EQ(listener.count("stopped"), 1);
}

TEST_F(WavePlayerTest, AWorkerThatOutlivesItsStopKeepsWhatItUsesUntilItEnds) {
  PlayerTimings quick;
  quick.stopWaitMs = 100;
  quick.destroyWaitMs = 100;
  makePlayer(quick);

  // A source that tells when it goes.
  struct WatchedSource : GatedSource {
    using GatedSource::GatedSource;
    ~WatchedSource() override { *gone = true; }
    std::shared_ptr<std::atomic<bool>> gone = std::make_shared<std::atomic<bool>>(false);
  };
  auto gate = std::make_shared<GatedSource::Gate>();
  gate->close();
  auto watched = makeRef<WatchedSource>(rampSamples(80000, 1), 1, 8000, gate);
  auto gone = watched->gone;
  SampleSourceRef stuck = watched;
  watched.reset();  // the player's reference is the only one
  ASSERT_TRUE(player->open_and_play(std::move(stuck)));
  ASSERT_TRUE(gate->waitForReader(5000));

  player->stop();  // gives up waiting after 100 ms
  EXPECT_EQ(player->state(), WavePlayer::kClosed);
  EXPECT_EQ(listener.names().back(), "stopped");
  EXPECT_EQ(player->strayWorkers(), 1);
  EXPECT_FALSE(*gone);
  EXPECT_EQ(fake->openDevices(), 1);  // still the worker's

  // Playing on meanwhile is not held up by it.
  auto samples = rampSamples(800, 1);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 1, 8000)));
  EXPECT_EQ(fake->openDevices(), 2);
  int postsBefore = main.posts();

  gate->openUp();
  ASSERT_TRUE(fake->waitUntil([&] { return fake->openDevices() == 1; }, 5000));
  ASSERT_TRUE(fake->waitUntil([&] { return gone->load(); }, 5000));
  // The thread ends just after it let go of the last of it.
  for (int wait = 0; wait < 500 && player->strayWorkers() > 0; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(player->strayWorkers(), 0);
  EXPECT_EQ(main.posts(), postsBefore);  // the stray worker posts nothing

  ASSERT_TRUE(playToTheEnd());
  auto played = fake->playedSamples();
  ASSERT_GE(played.size(), 800u);
  EXPECT_EQ(std::vector<int16_t>(played.end() - 800, played.end()), expected16(samples));
}

TEST_F(WavePlayerTest, APlayerGoneWhileAWorkerIsStuckLeavesItToEndAlone) {
  PlayerTimings quick;
  quick.stopWaitMs = 100;
  quick.destroyWaitMs = 100;
  makePlayer(quick);
  auto gate = std::make_shared<GatedSource::Gate>();
  gate->close();
  ASSERT_TRUE(player->open_and_play(makeRef<GatedSource>(rampSamples(80000, 1), 1, 8000, gate)));
  ASSERT_TRUE(gate->waitForReader(5000));
  player.reset();  // waits 100 ms for the stuck feeder, then lets it go
  EXPECT_EQ(fake->openDevices(), 1);  // the worker's until it ends
  gate->openUp();
  EXPECT_TRUE(fake->waitUntil([&] { return fake->openDevices() == 0; }, 5000));
}

TEST_F(WavePlayerTest, KeepsUpWithARealTimeDeviceAndPositionsFollowTheClock) {
  // Four seconds of sound on a clock running four times real time.
  auto samples = rampSamples(44100 * 4, 2);
  fake->startClock(4.0);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(samples, 2, 44100)));
  ASSERT_TRUE(main.pumpUntil(*player, [&] { return !player->isOpen(); }, 20000));
  fake->stopClock();
  EXPECT_EQ(fake->playedSamples(), expected16(samples));
  auto positions = listener.positions();
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(positions.back(), 4000);
  // 1.6 s of queued sound at this speed: the ring never runs dry.
  EXPECT_EQ(fake->starvedFrames(), 0);
}

TEST_F(WavePlayerTest, VolumeGoesToTheSelectedDeviceOrTheOpenOne) {
  fake->setDeviceNames({"One", "Two"});
  player->setDevice(1);
  player->set_volume(-40);  // below -35 dB: silence
  EXPECT_EQ(fake->volumeOf(1), 0);
  EXPECT_EQ(player->volume(), -36);
  player->setDevice(2);
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(rampSamples(80000, 1), 1, 8000)));
  player->set_volume(-8);
  EXPECT_EQ(fake->volumeOf(2), 28 * 1424);
  EXPECT_EQ(player->volume(), -8);
  EXPECT_EQ(fake->volumeOf(1), 0);
}

TEST_F(WavePlayerTest, DestroyingThePlayerWhilePlayingClosesTheDevice) {
  ASSERT_TRUE(player->open_and_play(makeRef<MemorySource>(rampSamples(80000, 1), 1, 8000)));
  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  player.reset();
  EXPECT_EQ(fake->openDevices(), 0);
}

}  // namespace
