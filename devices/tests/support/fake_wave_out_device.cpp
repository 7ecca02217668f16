#include "devices/tests/support/fake_wave_out_device.h"

#include <algorithm>
#include <chrono>

#include "sys/threads.h"

namespace {
constexpr int kMaxBlocks = 1024;
constexpr uint32_t kFullVolume = 0xffffffffu;
}  // namespace

std::shared_ptr<FakeWaveOutSystem> FakeWaveOutSystem::create() {
  return std::shared_ptr<FakeWaveOutSystem>(new FakeWaveOutSystem());
}

FakeWaveOutSystem::~FakeWaveOutSystem() { stopClock(); }

WaveOutDeviceMaker FakeWaveOutSystem::maker() {
  std::shared_ptr<FakeWaveOutSystem> system = shared_from_this();
  return [system]() -> std::unique_ptr<WaveOutDevice> { return std::make_unique<FakeWaveOutDevice>(system); };
}

void FakeWaveOutSystem::setDeviceNames(std::vector<std::string> names) {
  std::lock_guard hold(m_lock);
  m_names = std::move(names);
}

void FakeWaveOutSystem::refuseOpens(bool plain, bool mapped) {
  std::lock_guard hold(m_lock);
  m_refusePlain = plain;
  m_refuseMapped = mapped;
}

void FakeWaveOutSystem::answerStillPlaying(int times) {
  std::lock_guard hold(m_lock);
  m_stillPlayingAnswers = times;
}

FakeWaveOutDevice* FakeWaveOutSystem::playingLocked() const { return m_open.empty() ? nullptr : m_open.back(); }

int64_t FakeWaveOutSystem::playLocked(int64_t frames) {
  FakeWaveOutDevice* device = playingLocked();
  if (!device || device->m_paused) return 0;
  const uint32_t align = static_cast<uint32_t>(device->m_format.blockAlign());
  int64_t played = 0;
  bool anyDone = false;
  while (played < frames && !device->m_queue.empty()) {
    auto& block = device->m_blocks[device->m_queue.front()];
    uint32_t leftBytes = block.bytes - device->m_headPlayedBytes;
    auto take = static_cast<uint32_t>(std::min<int64_t>(frames - played, leftBytes / align)) * align;
    if (leftBytes < align) take = leftBytes;  // a torn frame at the end of a block
    m_played.insert(m_played.end(), block.data + device->m_headPlayedBytes,
                    block.data + device->m_headPlayedBytes + take);
    device->m_headPlayedBytes += take;
    played += take / align;
    if (device->m_headPlayedBytes >= block.bytes) {
      device->m_headPlayedBytes = 0;
      if (!block.loop) {
        block.done = true;
        block.queued = false;
        device->m_queue.pop_front();
        anyDone = true;
      } else if (block.bytes == 0) {
        break;  // an empty loop would never use up the frames
      }
    }
  }
  device->m_playedFrames += played;
  if (anyDone && device->m_blockDone) device->m_blockDone->set();
  m_changed.notify_all();
  return played;
}

int64_t FakeWaveOutSystem::play(int64_t frames) {
  std::lock_guard hold(m_lock);
  return playLocked(frames);
}

void FakeWaveOutSystem::startClock(double speedFactor) {
  stopClock();
  {
    std::lock_guard hold(m_lock);
    m_clockRunning = true;
  }
  m_clock = std::thread([this, speedFactor] { clockLoop(speedFactor); });
}

void FakeWaveOutSystem::stopClock() {
  {
    std::lock_guard hold(m_lock);
    m_clockRunning = false;
  }
  m_changed.notify_all();
  if (m_clock.joinable()) m_clock.join();
}

void FakeWaveOutSystem::clockLoop(double speedFactor) {
  using Clock = std::chrono::steady_clock;
  auto last = Clock::now();
  double owed = 0;  // frames due but not yet played
  std::unique_lock hold(m_lock);
  while (m_clockRunning) {
    m_changed.wait_for(hold, std::chrono::milliseconds(2));
    auto now = Clock::now();
    double seconds = std::chrono::duration<double>(now - last).count();
    last = now;
    FakeWaveOutDevice* device = playingLocked();
    if (!device) {
      owed = 0;
      continue;
    }
    owed += seconds * speedFactor * device->m_format.sampleRate;
    auto due = static_cast<int64_t>(owed);
    if (due <= 0) continue;
    int64_t played = playLocked(due);
    owed -= static_cast<double>(due);
    // Time with nothing to play counts once more blocks arrive: the end of
    // a sound is not an underrun.
    if (played < due && !device->m_paused && device->m_everWritten) device->m_idleFrames += due - played;
  }
}

bool FakeWaveOutSystem::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock hold(m_lock);
  while (true) {
    hold.unlock();
    bool met = condition();
    hold.lock();
    if (met) return true;
    if (m_changed.wait_until(hold, deadline) == std::cv_status::timeout) {
      hold.unlock();
      return condition();
    }
  }
}

bool FakeWaveOutSystem::waitForQueued(int blocks, int timeoutMs) {
  return waitUntil([this, blocks] { return queuedBlocks() >= blocks; }, timeoutMs);
}

std::vector<uint8_t> FakeWaveOutSystem::playedBytes() const {
  std::lock_guard hold(m_lock);
  return m_played;
}

std::vector<int16_t> FakeWaveOutSystem::playedSamples() const {
  std::lock_guard hold(m_lock);
  std::vector<int16_t> samples(m_played.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(m_played[2 * i] | (m_played[2 * i + 1] << 8));
  }
  return samples;
}

std::vector<FakeWaveOutSystem::Opening> FakeWaveOutSystem::openings() const {
  std::lock_guard hold(m_lock);
  return m_openings;
}

int FakeWaveOutSystem::queuedBlocks() const {
  std::lock_guard hold(m_lock);
  FakeWaveOutDevice* device = playingLocked();
  return device ? static_cast<int>(device->m_queue.size()) : 0;
}

int FakeWaveOutSystem::openDevices() const {
  std::lock_guard hold(m_lock);
  return static_cast<int>(m_open.size());
}

int FakeWaveOutSystem::resets() const {
  std::lock_guard hold(m_lock);
  return m_resets;
}

int FakeWaveOutSystem::unprepareCalls() const {
  std::lock_guard hold(m_lock);
  return m_unprepareCalls;
}

int64_t FakeWaveOutSystem::playedFrames() const {
  std::lock_guard hold(m_lock);
  FakeWaveOutDevice* device = playingLocked();
  return device ? device->m_playedFrames : 0;
}

uint16_t FakeWaveOutSystem::volumeOf(uint32_t deviceNumber) const {
  std::lock_guard hold(m_lock);
  auto found = m_volumes.find(deviceNumber);
  return static_cast<uint16_t>((found == m_volumes.end() ? kFullVolume : found->second) & 0xffff);
}

int64_t FakeWaveOutSystem::starvedFrames() const {
  std::lock_guard hold(m_lock);
  return m_starved;
}

FakeWaveOutDevice::FakeWaveOutDevice(std::shared_ptr<FakeWaveOutSystem> system) : m_system(std::move(system)) {}

FakeWaveOutDevice::~FakeWaveOutDevice() {
  std::lock_guard hold(m_system->m_lock);
  closeLocked();
}

DeviceStatus FakeWaveOutDevice::open(uint32_t deviceNumber, const PcmFormat& format, bool mapped,
                                     sys::Event& blockDone) {
  std::lock_guard hold(m_system->m_lock);
  closeLocked();
  FakeWaveOutSystem::Opening opening{deviceNumber, format, mapped, false};
  bool refused = mapped ? m_system->m_refuseMapped : m_system->m_refusePlain;
  bool exists = deviceNumber <= m_system->m_names.size() && !m_system->m_names.empty();
  opening.succeeded = !refused && exists && format.channels > 0 && format.sampleRate > 0;
  m_system->m_openings.push_back(opening);
  if (!opening.succeeded) return exists ? DeviceStatus::BadFormat : DeviceStatus::NoDevice;
  m_open = true;
  m_paused = false;
  m_deviceNumber = deviceNumber;
  m_format = format;
  m_blockDone = &blockDone;
  m_blocks.assign(kMaxBlocks, Block{});
  m_queue.clear();
  m_headPlayedBytes = 0;
  m_playedFrames = 0;
  m_everWritten = false;
  m_idleFrames = 0;
  m_system->m_open.push_back(this);
  m_system->m_changed.notify_all();
  return DeviceStatus::Ok;
}

bool FakeWaveOutDevice::prepareBlock(int index, uint8_t* data, uint32_t capacityBytes) {
  std::lock_guard hold(m_system->m_lock);
  if (!m_open || index < 0 || index >= kMaxBlocks || !data) return false;
  m_blocks[index] = Block{data, capacityBytes, capacityBytes, true, false, false, false};
  return true;
}

bool FakeWaveOutDevice::writeBlock(int index, uint32_t bytes, bool loop) {
  std::lock_guard hold(m_system->m_lock);
  if (!m_open || index < 0 || index >= kMaxBlocks) return false;
  Block& block = m_blocks[index];
  if (!block.prepared || block.queued || bytes > block.capacity) return false;
  block.bytes = bytes;
  block.loop = loop;
  block.done = false;
  block.queued = true;
  m_queue.push_back(index);
  m_system->m_starved += m_idleFrames;
  m_idleFrames = 0;
  m_everWritten = true;
  m_system->m_changed.notify_all();
  return true;
}

bool FakeWaveOutDevice::blockDone(int index) const {
  std::lock_guard hold(m_system->m_lock);
  return index >= 0 && index < static_cast<int>(m_blocks.size()) && m_blocks[index].done;
}

void FakeWaveOutDevice::clearBlock(int index) {
  std::lock_guard hold(m_system->m_lock);
  if (index >= 0 && index < static_cast<int>(m_blocks.size())) {
    m_blocks[index].done = false;
    m_blocks[index].loop = false;
  }
}

void FakeWaveOutDevice::reset() {
  std::lock_guard hold(m_system->m_lock);
  if (!m_open) return;
  for (int index : m_queue) {
    m_blocks[index].queued = false;
    m_blocks[index].done = true;
  }
  bool anyReturned = !m_queue.empty();
  m_queue.clear();
  m_headPlayedBytes = 0;
  m_playedFrames = 0;
  m_paused = false;
  m_everWritten = false;  // what follows a reset is a new start
  m_idleFrames = 0;
  ++m_system->m_resets;
  if (anyReturned && m_blockDone) m_blockDone->set();
  m_system->m_changed.notify_all();
}

void FakeWaveOutDevice::pause() {
  std::lock_guard hold(m_system->m_lock);
  m_paused = true;
}

void FakeWaveOutDevice::restart() {
  std::lock_guard hold(m_system->m_lock);
  m_paused = false;
}

int64_t FakeWaveOutDevice::playedFrames() const {
  std::lock_guard hold(m_system->m_lock);
  return m_playedFrames;
}

UnprepareResult FakeWaveOutDevice::unprepareBlock(int index) {
  std::lock_guard hold(m_system->m_lock);
  ++m_system->m_unprepareCalls;
  if (!m_open || index < 0 || index >= kMaxBlocks) return UnprepareResult::Failed;
  if (m_system->m_stillPlayingAnswers > 0) {
    --m_system->m_stillPlayingAnswers;
    return UnprepareResult::StillPlaying;
  }
  if (m_blocks[index].queued) return UnprepareResult::StillPlaying;
  m_blocks[index].prepared = false;
  return UnprepareResult::Done;
}

void FakeWaveOutDevice::closeLocked() {
  if (!m_open) return;
  m_open = false;
  m_queue.clear();
  m_blocks.clear();
  m_blockDone = nullptr;
  auto& open = m_system->m_open;
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  m_system->m_changed.notify_all();
}

void FakeWaveOutDevice::close() {
  std::lock_guard hold(m_system->m_lock);
  closeLocked();
}

bool FakeWaveOutDevice::isOpen() const {
  std::lock_guard hold(m_system->m_lock);
  return m_open;
}

bool FakeWaveOutDevice::getVolume(uint32_t deviceNumber, uint16_t& left, uint16_t& right) const {
  std::lock_guard hold(m_system->m_lock);
  uint32_t number = m_open ? m_deviceNumber : deviceNumber;
  if (number > m_system->m_names.size()) return false;
  auto found = m_system->m_volumes.find(number);
  uint32_t both = found == m_system->m_volumes.end() ? kFullVolume : found->second;
  left = static_cast<uint16_t>(both & 0xffff);
  right = static_cast<uint16_t>(both >> 16);
  return true;
}

bool FakeWaveOutDevice::setVolume(uint32_t deviceNumber, uint16_t left, uint16_t right) {
  std::lock_guard hold(m_system->m_lock);
  uint32_t number = m_open ? m_deviceNumber : deviceNumber;
  if (number > m_system->m_names.size()) return false;
  m_system->m_volumes[number] = left | (static_cast<uint32_t>(right) << 16);
  return true;
}

std::vector<std::string> FakeWaveOutDevice::deviceNames() const {
  std::lock_guard hold(m_system->m_lock);
  std::vector<std::string> names{kDefaultSoundOutName};
  names.insert(names.end(), m_system->m_names.begin(), m_system->m_names.end());
  return names;
}
