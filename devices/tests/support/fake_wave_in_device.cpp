#include "devices/tests/support/fake_wave_in_device.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "sys/threads.h"

std::shared_ptr<FakeWaveInSystem> FakeWaveInSystem::create() {
  return std::shared_ptr<FakeWaveInSystem>(new FakeWaveInSystem());
}

WaveInDeviceMaker FakeWaveInSystem::maker() {
  auto self = shared_from_this();
  return [self] { return std::make_unique<FakeWaveInDevice>(self); };
}

void FakeWaveInSystem::setDeviceNames(std::vector<std::string> names) {
  std::lock_guard hold(m_lock);
  m_names = std::move(names);
}

void FakeWaveInSystem::refuseOpens(bool plain, bool mapped) {
  std::lock_guard hold(m_lock);
  m_refusePlain = plain;
  m_refuseMapped = mapped;
}

void FakeWaveInSystem::holdUnprepare(bool hold) {
  std::lock_guard guard(m_lock);
  m_holdUnprepare = hold;
}

void FakeWaveInSystem::feed(const std::vector<int16_t>& samples) {
  std::lock_guard hold(m_lock);
  m_input.insert(m_input.end(), samples.begin(), samples.end());
}

FakeWaveInDevice* FakeWaveInSystem::openLocked() const { return m_open.empty() ? nullptr : m_open.back(); }

int64_t FakeWaveInSystem::deliver(int64_t frames) {
  std::lock_guard hold(m_lock);
  FakeWaveInDevice* device = openLocked();
  if (!device || !device->m_started) return 0;
  const int channels = device->m_format.channels;
  int64_t delivered = 0;
  while (delivered < frames && !device->m_queue.empty() && m_input.size() >= static_cast<size_t>(channels)) {
    auto& buffer = device->m_buffers[device->m_queue.front()];
    for (int c = 0; c < channels; ++c) {
      auto value = static_cast<uint16_t>(m_input.front());
      m_input.pop_front();
      buffer.data[buffer.recorded++] = static_cast<uint8_t>(value & 0xff);
      buffer.data[buffer.recorded++] = static_cast<uint8_t>(value >> 8);
    }
    ++delivered;
    if (buffer.recorded + 2 * channels > buffer.capacity) {
      buffer.queued = false;
      buffer.done = true;
      device->m_queue.pop_front();
      device->m_bufferDone->set();
    }
  }
  m_changed.notify_all();
  return delivered;
}

int64_t FakeWaveInSystem::pendingFrames() const {
  std::lock_guard hold(m_lock);
  FakeWaveInDevice* device = openLocked();
  int channels = device ? device->m_format.channels : 1;
  return static_cast<int64_t>(m_input.size()) / channels;
}

bool FakeWaveInSystem::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool FakeWaveInSystem::waitForTaken(int64_t count, int timeoutMs) {
  std::unique_lock hold(m_lock);
  return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return m_taken >= count; });
}

std::vector<FakeWaveInSystem::Opening> FakeWaveInSystem::openings() const {
  std::lock_guard hold(m_lock);
  return m_openings;
}

int FakeWaveInSystem::openDevices() const {
  std::lock_guard hold(m_lock);
  return static_cast<int>(m_open.size());
}

int FakeWaveInSystem::queuedBuffers() const {
  std::lock_guard hold(m_lock);
  FakeWaveInDevice* device = openLocked();
  return device ? static_cast<int>(device->m_queue.size()) : 0;
}

int64_t FakeWaveInSystem::buffersTaken() const {
  std::lock_guard hold(m_lock);
  return m_taken;
}

bool FakeWaveInSystem::started() const {
  std::lock_guard hold(m_lock);
  FakeWaveInDevice* device = openLocked();
  return device && device->m_started;
}

FakeWaveInDevice::FakeWaveInDevice(std::shared_ptr<FakeWaveInSystem> system) : m_system(std::move(system)) {}

FakeWaveInDevice::~FakeWaveInDevice() {
  std::lock_guard hold(m_system->m_lock);
  closeLocked();
}

DeviceStatus FakeWaveInDevice::open(uint32_t deviceNumber, const PcmFormat& format, bool mapped,
                                    sys::Event& bufferDone) {
  std::lock_guard hold(m_system->m_lock);
  FakeWaveInSystem::Opening opening{deviceNumber, format, mapped, false};
  bool refused = mapped ? m_system->m_refuseMapped : m_system->m_refusePlain;
  if (refused || deviceNumber > m_system->m_names.size()) {
    m_system->m_openings.push_back(opening);
    return deviceNumber > m_system->m_names.size() ? DeviceStatus::NoDevice : DeviceStatus::BadFormat;
  }
  opening.succeeded = true;
  m_system->m_openings.push_back(opening);
  m_open = true;
  m_format = format;
  m_bufferDone = &bufferDone;
  m_system->m_open.push_back(this);
  return DeviceStatus::Ok;
}

bool FakeWaveInDevice::prepareBuffer(int index, uint8_t* data, uint32_t capacityBytes) {
  std::lock_guard hold(m_system->m_lock);
  if (!m_open || index < 0 || !data) return false;
  if (static_cast<size_t>(index) >= m_buffers.size()) m_buffers.resize(static_cast<size_t>(index) + 1);
  m_buffers[index] = Buffer{data, capacityBytes, 0, true, false, false};
  return true;
}

bool FakeWaveInDevice::addBuffer(int index) {
  std::lock_guard hold(m_system->m_lock);
  if (!m_open || index < 0 || static_cast<size_t>(index) >= m_buffers.size()) return false;
  Buffer& buffer = m_buffers[index];
  if (!buffer.prepared || buffer.queued) return false;
  buffer.recorded = 0;
  buffer.done = false;
  buffer.queued = true;
  m_queue.push_back(index);
  return true;
}

bool FakeWaveInDevice::bufferDone(int index) const {
  std::lock_guard hold(m_system->m_lock);
  return index >= 0 && static_cast<size_t>(index) < m_buffers.size() && m_buffers[index].done;
}

uint32_t FakeWaveInDevice::recordedBytes(int index) const {
  std::lock_guard hold(m_system->m_lock);
  return index >= 0 && static_cast<size_t>(index) < m_buffers.size() ? m_buffers[index].recorded : 0;
}

void FakeWaveInDevice::clearBuffer(int index) {
  std::lock_guard hold(m_system->m_lock);
  if (index < 0 || static_cast<size_t>(index) >= m_buffers.size()) return;
  if (m_buffers[index].done) ++m_system->m_taken;
  m_buffers[index].done = false;
  m_system->m_changed.notify_all();
}

void FakeWaveInDevice::start() {
  std::lock_guard hold(m_system->m_lock);
  m_started = m_open;
}

void FakeWaveInDevice::stop() {
  std::lock_guard hold(m_system->m_lock);
  m_started = false;
}

void FakeWaveInDevice::reset() {
  std::lock_guard hold(m_system->m_lock);
  m_started = false;
  for (int index : m_queue) {
    m_buffers[index].queued = false;
    m_buffers[index].done = true;
  }
  m_queue.clear();
  if (m_bufferDone) m_bufferDone->set();
}

UnprepareResult FakeWaveInDevice::unprepareBuffer(int index) {
  std::lock_guard hold(m_system->m_lock);
  if (index < 0 || static_cast<size_t>(index) >= m_buffers.size()) return UnprepareResult::Failed;
  if (m_system->m_holdUnprepare || m_buffers[index].queued) return UnprepareResult::StillPlaying;
  m_buffers[index].prepared = false;
  return UnprepareResult::Done;
}

void FakeWaveInDevice::close() {
  std::lock_guard hold(m_system->m_lock);
  closeLocked();
}

void FakeWaveInDevice::closeLocked() {
  if (!m_open) return;
  m_open = false;
  m_started = false;
  m_queue.clear();
  auto& open = m_system->m_open;
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

bool FakeWaveInDevice::isOpen() const {
  std::lock_guard hold(m_system->m_lock);
  return m_open;
}

std::vector<std::string> FakeWaveInDevice::deviceNames() const {
  std::lock_guard hold(m_system->m_lock);
  std::vector<std::string> names{kDefaultSoundInName};
  names.insert(names.end(), m_system->m_names.begin(), m_system->m_names.end());
  return names;
}
