// The capture path's own cost on one hour of 44.1 kHz stereo: the capture
// thread takes 100 ms buffers from a device that fills them at once, removes
// the DC offset, measures the levels, runs the voice gate and writes into the
// block store as the editor's recording does. Its speed, as a multiple of
// real time, with and without the writes into the block store, is set
// against sox filtering the same hour (a 7.5 Hz high-pass, the corner of our
// DC filter) from a WAVE file into another, in the same run.
//
//   capture_bench <scratch folder>
//
// Wall-clock times, the best of three runs after one warm-up run of each
// side; and the processor time each side used (ours: this process, all its
// threads; sox: the child), which is what recording takes from the rest of
// the machine and what a busy machine leaves alone.

#include <sys/resource.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/core.h"
#include "devices/voice_activated_capture.h"
#include "sys/threads.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int kChannels = 2;
constexpr int64_t kHourFrames = int64_t{3600} * kRate;
constexpr int kRuns = 3;

// A device that fills every buffer the moment it is queued, from one second
// of tone and noise on a small offset, until an hour has gone out.
class GeneratedWaveInDevice final : public WaveInDevice {
 public:
  explicit GeneratedWaveInDevice(const std::vector<int16_t>& second) : m_second(second) {}
  DeviceStatus open(uint32_t, const PcmFormat& format, bool, sys::Event& bufferDone) override {
    m_format = format;
    m_event = &bufferDone;
    return DeviceStatus::Ok;
  }
  bool prepareBuffer(int index, uint8_t* data, uint32_t capacityBytes) override {
    if (static_cast<size_t>(index) >= m_buffers.size()) m_buffers.resize(index + 1);
    m_buffers[index] = {data, capacityBytes, 0};
    return true;
  }
  bool addBuffer(int index) override {
    Buffer& buffer = m_buffers[index];
    buffer.recorded = 0;
    m_done[index % 64] = false;
    if (!m_started) {
      m_pending.push_back(index);
      return true;
    }
    fill(index);
    return true;
  }
  bool bufferDone(int index) const override { return m_done[index % 64]; }
  uint32_t recordedBytes(int index) const override { return m_buffers[index].recorded; }
  void clearBuffer(int index) override { m_done[index % 64] = false; }
  void start() override {
    m_started = true;
    for (int index : m_pending) fill(index);
    m_pending.clear();
  }
  void stop() override { m_started = false; }
  void reset() override { m_started = false; }
  UnprepareResult unprepareBuffer(int) override { return UnprepareResult::Done; }
  void close() override {}
  bool isOpen() const override { return true; }
  std::vector<std::string> deviceNames() const override { return {kDefaultSoundInName}; }

  static std::atomic<int64_t> delivered;

 private:
  struct Buffer {
    uint8_t* data;
    uint32_t capacity;
    uint32_t recorded;
  };
  void fill(int index) {
    Buffer& buffer = m_buffers[index];
    const int64_t sent = delivered.load();
    const int64_t frames = std::min<int64_t>(buffer.capacity / 4, kHourFrames - sent);
    if (frames <= 0) return;  // the hour is out: nothing more comes
    // Copied in runs from the second of material, wrapping at its end.
    const int64_t secondFrames = static_cast<int64_t>(m_second.size()) / kChannels;
    int64_t at = sent % secondFrames;
    for (int64_t done = 0; done < frames;) {
      const int64_t run = std::min(frames - done, secondFrames - at);
      std::memcpy(buffer.data + done * 4, m_second.data() + at * kChannels, static_cast<size_t>(run) * 4);
      done += run;
      at = 0;
    }
    buffer.recorded = static_cast<uint32_t>(frames * 4);
    delivered += frames;
    m_done[index % 64] = true;
    m_event->set();
  }

  const std::vector<int16_t>& m_second;
  PcmFormat m_format;
  sys::Event* m_event = nullptr;
  std::vector<Buffer> m_buffers;
  std::atomic<bool> m_done[64] = {};
  std::vector<int> m_pending;
  bool m_started = false;
};
std::atomic<int64_t> GeneratedWaveInDevice::delivered{0};

std::vector<int16_t> oneSecond() {
  std::vector<int16_t> samples;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-2000, 2000);
  for (int f = 0; f < kRate; ++f) {
    double tone = 9000 * std::sin(2 * std::numbers::pi * 440 * f / kRate);
    for (int c = 0; c < kChannels; ++c) samples.push_back(static_cast<int16_t>(tone + noise(random) + 800));
  }
  return samples;
}

// Takes what it is given and forgets it: the engine's own cost alone.
class NullSink final : public SampleSink {
 public:
  NullSink() : SampleSink(kRate, kChannels) {}
  ~NullSink() override { close(); }
  void write(const Sample*, int32_t frames) override { setPosition(position() + frames); }
  void seek(int32_t frame) override { setPosition(frame); }

 protected:
  void commit() override {}
};

// Processor seconds used so far by this process (all threads) or by its
// finished children.
double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// The best processor time of runs of run, measured by who.
double bestCpuOf(int runs, int who, const std::function<bool()>& run) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const double before = cpuSeconds(who);
    if (!run()) return -1;
    best = std::min(best, cpuSeconds(who) - before);
  }
  return best;
}

// One hour through the engine into a new sound (or into nothing); true when
// all of it arrived.
bool captureHour(const std::vector<int16_t>& second, bool intoBlockStore) {
  GeneratedWaveInDevice::delivered = 0;
  sys::Event processed(false, false);
  VoiceActivatedCapture capture([&] { return std::make_unique<GeneratedWaveInDevice>(second); },
                                [&] { processed.set(); });
  SoundBuffer sound(kRate, kChannels);
  SampleSinkRef sink = intoBlockStore ? sound.openWriter(kRate, kChannels) : SampleSinkRef(makeRef<NullSink>());
  if (!capture.start(sink, 0, -24, VoiceActivatedCapture::kEndlessHangMs)) return false;
  sink.reset();
  const int64_t hourMs = framesToMs(kHourFrames, kRate);
  while (capture.positionMs() < hourMs - 1000 || GeneratedWaveInDevice::delivered < kHourFrames) {
    processed.wait(100);
  }
  // The last blocks are being written; the gate keeps everything here.
  while (capture.positionMs() < hourMs - 200) processed.wait(100);
  capture.stop();
  return !intoBlockStore || sound.totalFrames() > kHourFrames - kRate;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "capture_bench", nullptr, "capture-blocks");
  if (!start) return 2;
  const std::vector<int16_t> second = oneSecond();
  const double engine = bestOf(kRuns, [&] { return captureHour(second, false); });
  const double engineCpu = bestCpuOf(kRuns, RUSAGE_SELF, [&] { return captureHour(second, false); });
  const double ours = bestOf(kRuns, [&] { return captureHour(second, true); });
  const double oursCpu = bestCpuOf(kRuns, RUSAGE_SELF, [&] { return captureHour(second, true); });

  const std::string input = sys::joinPath(start->scratch, "capture-hour.wav");
  const std::string output = sys::joinPath(start->scratch, "capture-hour-filtered.wav");
  const std::string make = "sox -V1 -n -r 44100 -c 2 -b 16 '" + input + "' synth 3600 sine 440 pinknoise gain -6";
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "sox could not make the hour\n");
    return 1;
  }
  const std::string filter = "sox -V1 '" + input + "' '" + output + "' highpass 7.5";
  const double sox = bestOf(kRuns, [&] { return std::system(filter.c_str()) == 0; });
  const double soxCpu = bestCpuOf(kRuns, RUSAGE_CHILDREN, [&] { return std::system(filter.c_str()) == 0; });
  std::remove(input.c_str());
  std::remove(output.c_str());
  auto line = [](const char* what, double wall, double cpu) {
    std::printf("%-58s wall %6.2f s (%5.0fx real time), processor %6.2f s (%5.0fx real time)\n", what, wall,
                3600 / wall, cpu, 3600 / cpu);
  };
  std::printf("one hour of 44.1 kHz stereo (goal: the capture path above 1000x real time)\n");
  line("capture engine alone (filter, levels, gate; no sink)", engine, engineCpu);
  line("capture path into the block store", ours, oursCpu);
  line("sox highpass 7.5 Hz, WAVE file to WAVE file", sox, soxCpu);
  std::printf("ours / sox's: wall %.2fx, processor %.2fx\n", sox / ours, soxCpu / oursCpu);
  return ours > 0 && sox > 0 ? 0 : 1;
}
