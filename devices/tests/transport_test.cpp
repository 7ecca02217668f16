#include <gtest/gtest.h>

#include "devices/tests/support/fake_wave_out_device.h"
#include "devices/tests/player_test_support.h"
#include "devices/transport.h"

namespace {

using namespace devicetest;

// The editor's part: the cursor follows the position reports.
class CursorListener : public RecordingListener {
 public:
  void position(int32_t ms, void* context) override {
    RecordingListener::position(ms, context);
    if (player && document && player->isOpen()) document->cursor = player->position();
  }
  WavePlayer* player = nullptr;
  PlayDocument* document = nullptr;
};

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    samples = rampSamples(kRate * 4, 1);  // 4 s, frame f holds 16 (f + 1) (below 30,000)
    sound = bufferFrom(samples, 1, kRate);
    document.buffer = &sound;
    listener.player = &player;
    listener.document = &document;
    player.set_listener(&listener, nullptr);
  }
  int16_t sampleAt(int32_t frame) const { return static_cast<int16_t>(samples[frame] / 16); }
  std::vector<int16_t> playedSince(size_t count) {
    auto all = fake->playedSamples();
    return std::vector<int16_t>(all.begin() + static_cast<ptrdiff_t>(count), all.end());
  }
  bool playToTheEnd() {
    for (int round = 0; round < 1000 && player.isOpen(); ++round) {
      fake->play(1 << 20);
      main.pumpUntil(player, [&] { return !player.isOpen(); }, 20);
    }
    return !player.isOpen();
  }
  // Plays frames and lets the position reports arrive.
  void hear(int32_t frames) {
    fake->play(frames);
    main.pumpUntil(player, [] { return false; }, 50);
  }

  static constexpr int32_t kRate = 8000;
  std::shared_ptr<FakeWaveOutSystem> fake = FakeWaveOutSystem::create();
  MainThread main;
  CursorListener listener;
  WavePlayer player{fake->maker(), main.poster()};
  Transport transport{player};
  std::vector<Sample> samples;
  SoundBuffer sound;
  PlayDocument document;
  PlaySettings settings;
};

TEST_F(TransportTest, ASelectionPlaysExactlyAndACursorInTheLastSecondStartsOver) {
  document.cursor = 20000;
  document.selectionStart = 1000;
  document.selectionEnd = 5000;
  ASSERT_TRUE(transport.play(document, settings));
  EXPECT_EQ(fake->openings().back().format.sampleRate, kRate);
  ASSERT_TRUE(playToTheEnd());
  std::vector<int16_t> selection;
  for (int32_t f = 1000; f < 5000; ++f) selection.push_back(sampleAt(f));
  EXPECT_EQ(fake->playedSamples(), selection);
  EXPECT_EQ(listener.positions().back(), 625);

  document.selectionStart = document.selectionEnd = 0;
  document.cursor = kRate * 4 - 100;  // within the last second
  size_t before = fake->playedSamples().size();
  ASSERT_TRUE(transport.play(document, settings));
  ASSERT_TRUE(fake->waitForQueued(1, 5000));
  hear(10);
  EXPECT_EQ(playedSince(before).front(), sampleAt(0));

  // The auto-play paths play from the cursor wherever it is.
  document.cursor = kRate * 4 - 100;
  before = fake->playedSamples().size();
  ASSERT_TRUE(transport.play(document, settings, true));
  ASSERT_TRUE(playToTheEnd());
  EXPECT_EQ(playedSince(before).size(), 100u);
}

TEST_F(TransportTest, LoopPlayStaysInsideTheSelectionAtEverySpeedEvenWhenItIsTiny) {
  settings.playRepeat = true;
  // Ten frames: ten frames of sound and then silence, every 256 frames.
  document.selectionStart = 100;
  document.selectionEnd = 110;
  ASSERT_TRUE(transport.play(document, settings));
  ASSERT_TRUE(fake->waitForQueued(64, 5000));
  hear(256 * 20);
  auto played = fake->playedSamples();
  ASSERT_EQ(played.size(), 256u * 20);
  for (size_t i = 0; i < played.size(); ++i) {
    int32_t f = static_cast<int32_t>(i % 256);
    ASSERT_EQ(played[i], f < 10 ? sampleAt(100 + f) : 0) << i;
  }
  EXPECT_TRUE(player.isOpen());

  // Slow and fast: every sample heard comes from the selection.
  document.selectionStart = 1000;
  document.selectionEnd = 3000;
  for (int speed : {0, 2}) {
    settings.playSpeed = speed;
    size_t before = fake->playedSamples().size();
    ASSERT_TRUE(transport.play(document, settings));
    ASSERT_TRUE(fake->waitForQueued(64, 5000));
    hear(8000);
    auto heard = playedSince(before);
    ASSERT_EQ(heard.size(), 8000u);
    // The selection starts over every 2000 frames of the sound: every 4000
    // frames heard when slow, every 1333 when fast.
    int turns = 0;
    for (size_t i = 0; i < heard.size(); ++i) {
      ASSERT_GE(heard[i], sampleAt(1000)) << speed << " " << i;
      ASSERT_LE(heard[i], sampleAt(2999)) << speed << " " << i;
      if (i > 0 && heard[i] <= sampleAt(1002) && heard[i - 1] > sampleAt(1002)) ++turns;
    }
    EXPECT_EQ(turns, speed == 0 ? 1 : 5) << speed;
    EXPECT_GE(document.cursor, 1000);
    EXPECT_LT(document.cursor, 3000);
  }
}

TEST_F(TransportTest, SlowAndFastUseThePluggedSpeedSource) {
  std::vector<int> asked;
  transport.setSpeedSourceMaker([&](SampleSourceRef source, int percent) {
    asked.push_back(percent);
    return source;  // a stand-in that keeps the speed
  });
  for (int speed : {0, 1, 2}) {
    settings.playSpeed = speed;
    ASSERT_TRUE(transport.play(document, settings));
  }
  transport.stop();
  EXPECT_EQ(asked, (std::vector<int>{50, 150}));
}

TEST_F(TransportTest, GoToEndLeavesASecondWhilePlayingAndNoneWhileHolding) {
  transport.goToEnd(document);
  EXPECT_EQ(document.cursor, kRate * 4);
  transport.goToStart(document);
  EXPECT_EQ(document.cursor, 0);

  ASSERT_TRUE(transport.play(document, settings));
  transport.goToEnd(document);
  EXPECT_EQ(player.position(), kRate * 3);
  ASSERT_TRUE(transport.pause(document, settings));
  EXPECT_TRUE(player.isHolding());
  transport.goToEnd(document);
  EXPECT_EQ(player.position(), kRate * 4);
  transport.goToStart(document);
  EXPECT_EQ(player.position(), 0);
  EXPECT_TRUE(player.isHolding());
  // Pause again plays on from the hold.
  ASSERT_TRUE(transport.pause(document, settings));
  EXPECT_EQ(player.state(), WavePlayer::kPlaying);
}

TEST_F(TransportTest, PauseFromStoppedHoldsTheSnippetAtTheCursor) {
  document.cursor = 12345;
  ASSERT_TRUE(transport.pause(document, settings));
  EXPECT_TRUE(player.isHolding());
  EXPECT_EQ(player.position(), 12345);
  size_t before = fake->playedSamples().size();
  hear(200);
  auto heard = playedSince(before);
  ASSERT_EQ(heard.size(), 200u);
  for (int f = 0; f < 200; ++f) ASSERT_EQ(heard[f], sampleAt(12345 + f));
}

TEST_F(TransportTest, RewindFromStoppedScansBackAndStaysStoppedAtTheNewCursor) {
  document.cursor = kRate * 3;
  ASSERT_TRUE(transport.pressScan(ScanDirection::Rewind, document, settings));
  EXPECT_EQ(document.cursor, kRate * 3 - kRate / 5);
  EXPECT_EQ(transport.scanning(), ScanDirection::Rewind);
  // A second press of the same button changes nothing.
  ASSERT_TRUE(transport.pressScan(ScanDirection::Rewind, document, settings));
  EXPECT_EQ(document.cursor, kRate * 3 - kRate / 5);
  for (int i = 0; i < 5; ++i) hear(kRate / 10);
  int32_t scannedTo = document.cursor;
  EXPECT_LT(scannedTo, kRate * 3 - kRate / 5);
  ASSERT_TRUE(transport.releaseScan(document, settings));
  EXPECT_EQ(transport.scanning(), ScanDirection::None);
  EXPECT_FALSE(player.isOpen());
  EXPECT_EQ(document.cursor, scannedTo);
}

TEST_F(TransportTest, ScansFromPlayingOrHoldingGoBackToItAtTheNewCursor) {
  // Fast forward while playing: playback resumes at the cursor.
  ASSERT_TRUE(transport.play(document, settings));
  ASSERT_TRUE(transport.pressScan(ScanDirection::FastForward, document, settings));
  EXPECT_EQ(document.cursor, kRate / 5);
  for (int i = 0; i < 3; ++i) hear(kRate / 10);
  int32_t cursor = document.cursor;
  EXPECT_GT(cursor, kRate / 5);
  ASSERT_TRUE(transport.releaseScan(document, settings));
  EXPECT_EQ(player.state(), WavePlayer::kPlaying);
  ASSERT_TRUE(fake->waitForQueued(2, 5000));
  size_t before = fake->playedSamples().size();
  hear(10);
  EXPECT_EQ(playedSince(before).front(), sampleAt(cursor));

  // Rewind while holding: smaller steps, and holding again afterwards.
  player.hold();
  int32_t held = player.position();
  ASSERT_TRUE(transport.pressScan(ScanDirection::Rewind, document, settings));
  EXPECT_EQ(document.cursor, held - kRate / 10);
  // Pressing the other button ends this scan first.
  ASSERT_TRUE(transport.pressScan(ScanDirection::FastForward, document, settings));
  EXPECT_EQ(transport.scanning(), ScanDirection::FastForward);
  EXPECT_EQ(document.cursor, held);
  ASSERT_TRUE(transport.releaseScan(document, settings));
  EXPECT_TRUE(player.isHolding());
  EXPECT_EQ(player.position(), document.cursor);
}

TEST_F(TransportTest, ReduceVolWhenRewindLowersTheVolumeByEightDuringTheScanOnly) {
  settings.reduceVolWhenRewind = true;
  struct Case {
    int before, during, after;
  };
  // Clamped at the floor, the volume does not come back to where it was.
  for (Case c : {Case{0, -8, 0}, Case{10, 2, 10}, Case{-30, -36, -28}}) {
    player.set_volume(c.before);
    ASSERT_TRUE(transport.pressScan(ScanDirection::Rewind, document, settings));
    EXPECT_EQ(player.volume(), c.during) << c.before;
    ASSERT_TRUE(transport.releaseScan(document, settings));
    EXPECT_EQ(player.volume(), c.after) << c.before;
  }
  settings.reduceVolWhenRewind = false;
  player.set_volume(0);
  ASSERT_TRUE(transport.pressScan(ScanDirection::Rewind, document, settings));
  EXPECT_EQ(player.volume(), 0);
  ASSERT_TRUE(transport.releaseScan(document, settings));
}

TEST_F(TransportTest, WithoutADevicePlayFailsAndThePlayerStaysClosed) {
  fake->refuseOpens(true, true);
  EXPECT_FALSE(transport.play(document, settings));
  EXPECT_FALSE(transport.pause(document, settings));
  EXPECT_FALSE(player.isOpen());
}

}  // namespace
