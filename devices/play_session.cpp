#include "devices/play_session.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

PlaySession::PlaySession(std::unique_ptr<WaveOutDevice> device, SampleSourceRef source,
                         std::shared_ptr<MainThreadPoster> poster, const PlayerTimings& timings)
    : m_device(std::move(device)), m_source(std::move(source)), m_poster(std::move(poster)), m_timings(timings) {}

PlaySession::~PlaySession() { close(); }

DeviceStatus PlaySession::open(uint32_t deviceNumber) {
  PcmFormat format;
  format.sampleRate = m_source->sampleRate();
  format.channels = std::max<int>(m_source->channels(), 1);
  DeviceStatus status = m_device->open(deviceNumber, format, false, m_blockDone);
  if (status != DeviceStatus::Ok) status = m_device->open(deviceNumber, format, true, m_blockDone);
  if (status != DeviceStatus::Ok) return status;

  m_channels = format.channels;
  m_framesPerBlock = clampTo(format.sampleRate / 10, 20, 8192);
  m_blockBytes = static_cast<uint32_t>(m_channels * m_framesPerBlock * 2);
  m_scratch.assign(static_cast<size_t>(m_channels) * m_framesPerBlock, 0);
  m_memory.assign(static_cast<size_t>(WavePlayer::kBlockCount) * m_blockBytes, 0);
  for (int i = 0; i < WavePlayer::kBlockCount; ++i) {
    m_slots[i].capacityBytes = m_blockBytes;
    m_slots[i].free = true;
    if (!m_device->prepareBlock(i, blockData(i), m_blockBytes)) {
      close();
      return DeviceStatus::Failed;
    }
  }
  position = m_source->position();
  return DeviceStatus::Ok;
}

void PlaySession::close() {
  if (m_closed) return;
  m_closed = true;
  if (m_device->isOpen()) {
    m_device->reset();
    for (int i = 0; i < WavePlayer::kBlockCount && !m_memory.empty(); ++i) {
      // The block memory may only go once the device has let go of it.
      while (m_device->unprepareBlock(i) == UnprepareResult::StillPlaying) {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_timings.unprepareRetryMs));
      }
    }
    m_device->close();
  }
  m_memory.clear();
  m_memory.shrink_to_fit();
  m_scratch.clear();
  m_source.reset();
}

LevelRecord PlaySession::levels() const {
  std::lock_guard hold(m_levelsLock);
  return m_levels;
}

void PlaySession::setLevels(const LevelRecord& record) {
  std::lock_guard hold(m_levelsLock);
  m_levels = record;
}

void PlaySession::requestFeederStop() {
  m_feederStop = true;
  m_needData.set();
}

void PlaySession::clearForFeeder() {
  m_feederStop = false;
  finished = false;
  positionChanged = false;
}

void PlaySession::fillSlot(int i, int32_t frames) {
  BlockSlot& slot = m_slots[i];
  m_source->read(m_scratch.data(), frames);
  convertToPcm16(m_scratch.data(), frames, m_channels, blockData(i));
  slot.levels = computeLevels(m_scratch.data(), frames, m_channels);
  // Where the source stands now, not where it stood plus the frames read:
  // a loop or a scan moves its position its own way.
  slot.positionAfter = m_source->position();
  slot.free = false;
  m_device->writeBlock(i, static_cast<uint32_t>(frames * m_channels * 2), false);
}

void PlaySession::runFeeder(sys::Thread& self) {
  for (int i = 0; i < WavePlayer::kBlockCount; ++i) {
    m_device->clearBlock(i);
    m_slots[i].free = true;
  }
  m_backlog = 0;
  m_feederBoosted = false;
  m_watcherStop = false;
  sys::Thread watcher;
  watcher.start([this, &self] { runWatcher(self); }, sys::ThreadPriority::Normal);
  bool watcherRaised = false;
  int i = 0;
  bool drained = false;
  // The first block after a start is a quarter block: the device finishes
  // it, and the first position report comes, 75 ms sooner. The rest follow
  // at once, so the device never waits.
  int32_t frames = (m_framesPerBlock + 3) / 4;

  while (true) {
    m_needData.reset();
    if (stopRequested()) break;
    if (!m_slots[i].free) {
      // The ring is full: from now on the watcher must never lag.
      m_backlog = 0;
      if (!watcherRaised) {
        watcher.setPriority(sys::ThreadPriority::TimeCritical);
        watcherRaised = true;
      }
      if (m_feederBoosted.exchange(false)) self.setPriority(sys::ThreadPriority::BelowNormal);
      m_needData.wait(m_timings.idleWaitMs);
      continue;
    }
    int64_t left = static_cast<int64_t>(m_source->length()) - m_source->position();
    if (left < 1) {
      drained = true;
      break;
    }
    fillSlot(i, static_cast<int32_t>(std::min<int64_t>(left, frames)));
    frames = m_framesPerBlock;
    i = (i + 1) % WavePlayer::kBlockCount;
  }

  if (drained) {
    // Until the last block queued is heard; the device finishes in order.
    const int last = (i + WavePlayer::kBlockCount - 1) % WavePlayer::kBlockCount;
    while (true) {
      m_needData.reset();
      if (stopRequested()) {
        drained = false;
        break;
      }
      if (m_slots[last].free) break;
      m_needData.wait(m_timings.idleWaitMs);
    }
    if (drained) {
      finished = true;
      m_poster->post();
    }
  }

  m_watcherStop = true;
  m_blockDone.set();
  // A watcher that outlasts the wait is waited for without end when the
  // thread object goes: it uses this thread's object, so it must end first.
  watcher.join(m_timings.stopWaitMs);
  m_device->reset();
}

void PlaySession::runWatcher(sys::Thread& feeder) {
  int j = 0;
  while (true) {
    m_blockDone.reset();
    if (m_watcherStop) break;
    if (!m_device->blockDone(j)) {
      m_blockDone.wait(m_timings.idleWaitMs);
      continue;
    }
    BlockSlot& slot = m_slots[j];
    position = slot.positionAfter;
    setLevels(slot.levels);
    m_device->clearBlock(j);
    slot.free = true;
    m_needData.set();
    // More than 32 blocks heard without the ring filling up: the feeder is
    // falling behind and gets the highest priority until it catches up.
    int before = m_backlog.load();
    m_backlog = std::min(before + 1, 255);
    if (before > 32 && !m_feederBoosted) {
      feeder.setPriority(sys::ThreadPriority::TimeCritical);
      m_feederBoosted = true;
    }
    positionChanged = true;
    m_poster->post();
    j = (j + 1) % WavePlayer::kBlockCount;
  }
}

LevelRecord PlaySession::primeHoldSnippet() {
  const int32_t quarter = (m_framesPerBlock + 3) / 4;
  const size_t quarterBytes = static_cast<size_t>(quarter) * m_channels * 2;
  m_source->read(m_scratch.data(), quarter);
  uint8_t* data = blockData(0);
  convertToPcm16(m_scratch.data(), quarter, m_channels, data);
  // Three more copies behind it; the last one cut to what the block holds.
  for (int copy = 1; copy < 4; ++copy) {
    size_t offset = copy * quarterBytes;
    size_t bytes = std::min<size_t>(quarterBytes, m_blockBytes - std::min<size_t>(offset, m_blockBytes));
    std::memcpy(data + offset, data, bytes);
  }
  LevelRecord snippetLevels = computeLevels(m_scratch.data(), quarter, m_channels);
  m_slots[0].positionAfter = m_source->position();
  m_slots[0].levels = snippetLevels;
  m_slots[0].free = false;
  m_device->clearBlock(0);
  m_device->writeBlock(0, m_blockBytes, true);
  return snippetLevels;
}
