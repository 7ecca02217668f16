#include "devices/tests/player_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "core/block_store.h"
#include "devices/player_blocks.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"

namespace devicetest {

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("devices-blocks");

}  // namespace

void GatedSource::Gate::close() {
  std::lock_guard hold(lock);
  open = false;
}

void GatedSource::Gate::openUp() {
  {
    std::lock_guard hold(lock);
    open = true;
  }
  changed.notify_all();
}

bool GatedSource::Gate::waitForReader(int timeoutMs) {
  std::unique_lock hold(lock);
  return changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return waiting > 0; });
}

GatedSource::GatedSource(std::vector<Sample> samples, int channels, int32_t rate, std::shared_ptr<Gate> gate)
    : MemorySource(std::move(samples), channels, rate), m_gate(std::move(gate)) {}

void GatedSource::read(Sample* buffer, int32_t frames) {
  {
    std::unique_lock hold(m_gate->lock);
    ++m_gate->waiting;
    m_gate->changed.notify_all();
    m_gate->changed.wait(hold, [this] { return m_gate->open; });
    --m_gate->waiting;
  }
  MemorySource::read(buffer, frames);
}

std::vector<Sample> rampSamples(int32_t frames, int channels, int base) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<Sample>(((base + i) % 30000) * 16);
  return samples;
}

std::vector<int16_t> expected16(const std::vector<Sample>& samples) {
  std::vector<int16_t> out(samples.size());
  std::transform(samples.begin(), samples.end(), out.begin(), int16FromSample);
  return out;
}

std::function<void()> MainThread::poster() {
  return [this] {
    {
      std::lock_guard hold(m_lock);
      ++m_posts;
    }
    m_changed.notify_all();
  };
}

bool MainThread::pumpUntil(WavePlayer& player, const std::function<bool()>& condition, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    std::unique_lock hold(m_lock);
    if (!m_changed.wait_until(hold, deadline, [this] { return m_posts.load() != m_seen; })) return condition();
    m_seen = m_posts.load();
    hold.unlock();
    player.onNotify();
  }
  return true;
}

int RecordingListener::count(const std::string& what) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const ListenerCall& c) { return c.what == what; }));
}

std::vector<std::string> RecordingListener::names() const {
  std::vector<std::string> out;
  for (const auto& c : calls) out.push_back(c.what);
  return out;
}

std::vector<int32_t> RecordingListener::positions() const {
  std::vector<int32_t> out;
  for (const auto& c : calls)
    if (c.what == "position") out.push_back(c.value);
  return out;
}

SoundBuffer bufferFrom(const std::vector<Sample>& samples, int channels, int32_t rate) {
  SoundBuffer buffer;
  {
    auto writer = buffer.openWriter(rate, channels);
    writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  }
  return buffer;
}

}  // namespace devicetest
