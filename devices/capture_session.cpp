#include "devices/capture_session.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>


namespace {

// Silence kept when the gate closes after a long pause.
constexpr int64_t kKeptSilenceMs = 450;

LevelRecord silentLevels(int channels) {
  LevelRecord record;
  record.channels = static_cast<uint8_t>(channels);
  for (int c = 0; c < channels; ++c) record.levels[c] = kSilentLevel;
  return record;
}

// The device, its buffers and their memory, owned by one run of the capture
// thread. Taking the buffers back waits while the device still holds one,
// so the memory never goes before the device has let go of it.
struct DeviceRing {
  std::unique_ptr<WaveInDevice> device;
  std::vector<uint8_t> memory;
  uint32_t bufferBytes = 0;
  int32_t framesPerBuffer = 0;
  int prepared = 0;
  int retryMs = 50;

  uint8_t* data(int i) { return memory.data() + static_cast<size_t>(i) * bufferBytes; }

  ~DeviceRing() {
    if (!device || !device->isOpen()) return;
    device->reset();
    for (int i = 0; i < prepared; ++i) {
      while (device->unprepareBuffer(i) == UnprepareResult::StillPlaying) {
        std::this_thread::sleep_for(std::chrono::milliseconds(retryMs));
      }
    }
    device->close();
  }
};

}  // namespace

CaptureSession::CaptureSession(SampleSinkRef sink, CaptureLimits limits, std::shared_ptr<MainThreadPoster> poster,
                               CaptureTimings timings)
    : m_sink(std::move(sink)),
      m_limits(limits),
      m_poster(std::move(poster)),
      m_timings(timings),
      m_channels(std::max<int>(m_sink->channels(), 1)),
      m_rate(m_sink->sampleRate()) {}

int64_t CaptureSession::sinkPositionMs() const {
  return m_sink ? framesToMs(m_sink->position(), m_rate) : 0;
}

void CaptureSession::prepareRun() {
  m_started.reset();
  m_stop = false;
  m_ceilingReached = false;
  m_newBlock = false;
  m_stateChanged = false;
  m_lookBackFrames = 0;
}

void CaptureSession::requestStop() {
  m_stop = true;
  m_wake.set();
}

CaptureNews CaptureSession::takeNews() {
  CaptureNews news;
  news.newBlock = m_newBlock.exchange(false);
  news.stateChanged = m_stateChanged.exchange(false);
  news.ceilingReached = m_ceilingReached.load();
  news.state = state.load();
  std::lock_guard hold(m_levelsLock);
  news.levels = m_levels;
  return news;
}

void CaptureSession::publishLevels(const LevelRecord& levels) {
  std::lock_guard hold(m_levelsLock);
  m_levels = levels;
}

void CaptureSession::run(const WaveInDeviceMaker& makeDevice, uint32_t deviceNumber) {
  PcmFormat format;
  format.sampleRate = m_rate;
  format.channels = m_channels;
  DeviceRing ring;
  ring.retryMs = m_timings.unprepareRetryMs;
  ring.device = makeDevice ? makeDevice() : nullptr;
  DeviceStatus status = DeviceStatus::NoDevice;
  if (ring.device) {
    status = ring.device->open(deviceNumber, format, false, m_wake);
    if (status != DeviceStatus::Ok) status = ring.device->open(deviceNumber, format, true, m_wake);
  }
  if (status == DeviceStatus::Ok) {
    ring.device->stop();
    ring.framesPerBuffer = clampTo(m_rate / 10, 32, 8192);
    ring.bufferBytes = static_cast<uint32_t>(ring.framesPerBuffer * format.blockAlign());
    ring.memory.assign(static_cast<size_t>(kBufferCount) * ring.bufferBytes, 0);
    for (; ring.prepared < kBufferCount; ++ring.prepared) {
      int i = ring.prepared;
      if (!ring.device->prepareBuffer(i, ring.data(i), ring.bufferBytes) || !ring.device->addBuffer(i)) {
        status = DeviceStatus::Failed;
        break;
      }
    }
  }
  if (status != DeviceStatus::Ok) {
    state = kStopped;
    m_started.set();
    // A device that opened only after start gave up waiting is reported too.
    post();
    return;
  }

  m_filter.emplace(m_rate, m_channels);
  std::vector<Sample> block(static_cast<size_t>(ring.framesPerBuffer) * m_channels);
  m_lookBack.assign(block.size(), 0);
  m_lookBackFrames = 0;
  const int blockAlign = format.blockAlign();
  int next = 0;
  // Takes buffer next back from the device, queues it again and returns its
  // frames in block.
  auto collect = [&]() -> int32_t {
    auto frames = static_cast<int32_t>(std::min(ring.device->recordedBytes(next), ring.bufferBytes) / blockAlign);
    convertFromPcm16(ring.data(next), frames, m_channels, block.data());
    ring.device->clearBuffer(next);
    return frames;
  };

  m_started.set();
  ring.device->start();
  while (true) {
    m_wake.reset();
    if (m_stop) break;
    if (!ring.device->bufferDone(next)) {
      // A device that delivers nothing (unplugged, blocked) shows silence.
      if (!m_wake.wait(m_timings.idleWaitMs) && !m_stop) {
        publishLevels(silentLevels(m_channels));
        post();
      }
      continue;
    }
    int32_t frames = collect();
    ring.device->addBuffer(next);
    next = (next + 1) % kBufferCount;
    processBlock(block.data(), frames);
  }

  ring.device->reset();
  if (state == kRecording) {
    // What the device had recorded when it was stopped still belongs to the
    // recording; the first empty buffer ends it.
    while (ring.device->bufferDone(next)) {
      int32_t frames = collect();
      next = (next + 1) % kBufferCount;
      if (frames <= 0) break;
      m_filter->process(block.data(), frames);
      writeToSink(block.data(), frames);
      // Sound in the last buffers counts as loud like any other, so the
      // tail trim after the stop keeps it.
      if (blockLevel(computePeakLevels(block.data(), frames, m_channels)) >= m_limits.releaseLevel)
        lastLoudMs = sinkPositionMs();
    }
  }
  positionMs = sinkPositionMs();
  m_ceilingReached = false;
  m_newBlock = false;
  m_stateChanged = false;
}

void CaptureSession::writeToSink(const Sample* block, int32_t frames) {
  if (frames > 0) m_sink->write(block, frames);
}

void CaptureSession::processBlock(Sample* block, int32_t frames) {
  m_filter->process(block, frames);
  LevelRecord levels = computePeakLevels(block, frames, m_channels);
  const int level = blockLevel(levels);

  if (state == kWaiting) {
    if (level < m_limits.triggerLevel) {
      std::copy_n(block, static_cast<size_t>(frames) * m_channels, m_lookBack.begin());
      m_lookBackFrames = frames;
    } else {
      // Where the burst begins: when it is loud already in the first half,
      // the second half of the block before leads into it.
      const int32_t half = frames / 2;
      levels = computePeakLevels(block, half, m_channels);
      if (blockLevel(levels) >= m_limits.triggerLevel && m_lookBackFrames > 0) {
        const int32_t kept = m_lookBackFrames - m_lookBackFrames / 2;
        writeToSink(m_lookBack.data() + static_cast<size_t>(m_lookBackFrames / 2) * m_channels, kept);
      }
      writeToSink(block, frames);
      state = kRecording;
      m_stateChanged = true;
    }
  } else {
    writeToSink(block, frames);
    const int64_t now = sinkPositionMs();
    if (level >= m_limits.releaseLevel) {
      lastLoudMs = now;
    } else if (now - lastLoudMs > m_limits.hangTimeMs) {
      // A long silence: keep 450 ms of it and wait for sound again there.
      const int64_t keepTo = lastLoudMs + kKeptSilenceMs;
      if (keepTo < now) m_sink->seek(clampToInt32(msToFrames(keepTo, m_rate)));
      std::copy_n(block, static_cast<size_t>(frames) * m_channels, m_lookBack.begin());
      m_lookBackFrames = frames;
      state = kWaiting;
      m_stateChanged = true;
    }
  }
  publishLevels(levels);
  positionMs = sinkPositionMs();
  if (m_limits.timeCeilingMs > 0 && positionMs > m_limits.timeCeilingMs) m_ceilingReached = true;
  m_newBlock = true;
  post();
}
