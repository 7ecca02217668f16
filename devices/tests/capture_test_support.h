#pragma once
// Shared set-up of the capture tests: a sink in memory that behaves like a
// file (seeking back and writing on overwrites, and what lies past the
// position when it closes is gone), input signals in 16-bit steps, and
// independent workings of the DC filter and the peak levels to compare with.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/sample_source.h"
#include "devices/capture_listener.h"

namespace capturetest {

class MemorySink : public SampleSink {
 public:
  // What the sink holds once committed, shared so that a test can look after
  // the engine released the sink.
  struct Result {
    std::mutex lock;
    std::vector<Sample> samples;
    std::atomic<bool> committed{false};
  };
  MemorySink(int32_t rate, int channels, std::shared_ptr<Result> result)
      : SampleSink(rate, channels), m_result(std::move(result)) {}
  ~MemorySink() override { close(); }
  void write(const Sample* buffer, int32_t frames) override;
  void seek(int32_t frame) override { setPosition(frame); }
  void fail() { SampleSink::fail(); }

 protected:
  void commit() override;

 private:
  std::shared_ptr<Result> m_result;
  std::vector<Sample> m_data;
};

// Signals as 16-bit samples, appended channel by channel alike.
struct Signal {
  int32_t rate = 8000;
  int channels = 1;
  std::vector<int16_t> samples;
  // A sine of amplitude (16-bit units) and frequency for ms milliseconds.
  Signal& tone(int64_t ms, double amplitude, double hz = 400);
  int64_t frameCount() const { return static_cast<int64_t>(samples.size()) / channels; }
  int64_t framesOf(int64_t ms) const { return ms * rate / 1000; }
};

// The DC filter worked out in the test's own way: y[n] = x[n] - floor(a[n-1] / 4096),
// a[n] = a[n-1] + K y[n], over the 32-bit values of a 16-bit input.
std::vector<Sample> referenceFiltered(const Signal& signal);
// The peak level by its definition: 20 log10(peak / 131,072) rounded to the
// nearest whole dB, halves away from zero; -127 for silence.
int referencePeakLevel(const std::vector<Sample>& samples, int channels, int64_t firstFrame, int64_t frames);
// Frames [from, to) of interleaved samples.
std::vector<Sample> slice(const std::vector<Sample>& samples, int channels, int64_t from, int64_t to);

class NewsListener : public CaptureListener {
 public:
  void started(void*) override { ++startedCalls; }
  void stopped(void*) override { ++stoppedCalls; }
  void position(int64_t ms, void*) override { lastPosition = ms; }
  void news(const CaptureNews& n, void*) override {
    std::lock_guard hold(lock);
    all.push_back(n);
  }
  std::vector<CaptureNews> taken() {
    std::lock_guard hold(lock);
    return all;
  }
  std::mutex lock;
  int startedCalls = 0;
  int stoppedCalls = 0;
  int64_t lastPosition = -1;
  std::vector<CaptureNews> all;
};

}  // namespace capturetest
