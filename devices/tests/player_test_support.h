#pragma once
// Shared set-up of the device tests: sources in memory, a stand-in for the
// main thread's message loop, a listener that writes down every call, and
// sound buffers in a scratch block store.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/sound_buffer.h"
#include "devices/player_listener.h"
#include "devices/wave_player.h"
#include "testkit/memory_source.h"

namespace devicetest {

// Frames in memory; silence outside them, the position keeps growing. By
// default declared within the 16-bit range, so the player sends it as it is.
class MemorySource : public testkit::MemorySource {
 public:
  MemorySource(std::vector<Sample> samples, int channels, int32_t rate, int32_t nominalPeak = kLargest16BitSample)
      : testkit::MemorySource(std::move(samples), channels, rate, nominalPeak) {}
};

// A memory source whose reads wait while the gate is closed: a worker
// reading it is slow for as long as the test wants.
class GatedSource : public MemorySource {
 public:
  struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    bool open = true;
    int waiting = 0;
    void close();
    void openUp();
    bool waitForReader(int timeoutMs);
  };
  GatedSource(std::vector<Sample> samples, int channels, int32_t rate, std::shared_ptr<Gate> gate);
  void read(Sample* buffer, int32_t frames) override;

 private:
  std::shared_ptr<Gate> m_gate;
};

// Frame f of channel c holds base + f * channels + c, in 16-bit steps
// (multiples of 16), so what the device plays reads back as those numbers.
std::vector<Sample> rampSamples(int32_t frames, int channels, int base = 1);
// The 16-bit values the device should play for samples.
std::vector<int16_t> expected16(const std::vector<Sample>& samples);

// The main thread: posts are counted and pumpUntil runs the player's
// notification for them, as the notifier window would.
class MainThread {
 public:
  std::function<void()> poster();
  // Calls player.onNotify() for every post until condition holds.
  bool pumpUntil(WavePlayer& player, const std::function<bool()>& condition, int timeoutMs = 10000);
  int posts() const { return m_posts.load(); }

 private:
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::atomic<int> m_posts{0};
  int m_seen = 0;
};

struct ListenerCall {
  std::string what;  // started, stopped, held, position, levels
  int32_t value = 0;  // milliseconds of a position report, level of channel 0
};

class RecordingListener : public PlayerListener {
 public:
  void started(void*) override { calls.push_back({"started"}); }
  void stopped(void*) override { calls.push_back({"stopped"}); }
  void held(void*) override { calls.push_back({"held"}); }
  void position(int32_t ms, void*) override { calls.push_back({"position", ms}); }
  void levels(const LevelRecord& record, void*) override {
    calls.push_back({"levels", record.levels[0]});
    lastLevels = record;
  }
  int count(const std::string& what) const;
  std::vector<std::string> names() const;
  std::vector<int32_t> positions() const;

  std::vector<ListenerCall> calls;
  LevelRecord lastLevels;
};

SoundBuffer bufferFrom(const std::vector<Sample>& samples, int channels, int32_t rate);

}  // namespace devicetest
