#include "devices/wave_player.h"

#include <chrono>

#include "devices/peak_limit_source.h"
#include "devices/play_session.h"
#include "devices/player_volume.h"
#include "sys/threads.h"

WavePlayer::WavePlayer(WaveOutDeviceMaker makeDevice, std::function<void()> postToMainThread,
                       PlayerTimings timings)
    : m_makeDevice(std::move(makeDevice)), m_postToMainThread(std::move(postToMainThread)), m_timings(timings) {}

WavePlayer::~WavePlayer() {
  stop();
  reapStrayWorkers(m_timings.destroyWaitMs);
  // A worker still running now owns everything it uses and posts nothing:
  // it goes on alone and ends by itself.
  for (auto& worker : m_strayWorkers) worker->detach();
}

void WavePlayer::set_listener(PlayerListener* listener, void* context) {
  m_listener = listener ? listener : &m_silentListener;
  m_context = context;
}

int32_t WavePlayer::position() const { return m_session ? m_session->position.load() : 0; }

int32_t WavePlayer::positionMs() const {
  if (!m_session) return 0;
  return static_cast<int32_t>(framesToMs(m_session->position.load(), m_session->source().sampleRate()));
}

LevelRecord WavePlayer::levels() const { return m_session ? m_session->levels() : LevelRecord{}; }

SampleSourceRef WavePlayer::source() const { return m_session ? m_session->sourceRef() : SampleSourceRef(); }

int32_t WavePlayer::framesPerBlock() const { return m_session ? m_session->framesPerBlock() : 0; }

int WavePlayer::strayWorkers() {
  reapStrayWorkers(0);
  return static_cast<int>(m_strayWorkers.size());
}

void WavePlayer::reapStrayWorkers(int waitMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (auto it = m_strayWorkers.begin(); it != m_strayWorkers.end();) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if ((*it)->join(static_cast<int>(std::max<int64_t>(left.count(), 0)))) {
      it = m_strayWorkers.erase(it);
    } else {
      ++it;
    }
  }
}

bool WavePlayer::open_and_play(SampleSourceRef source) {
  stop();
  reapStrayWorkers(0);
  if (!source || !source->good()) return false;
  if (source->nominalPeak() > kLargest16BitSample) {
    source = makeRef<PeakLimitSource>(std::move(source), kLargest16BitSample, kSmallest16BitSample);
  }
  std::unique_ptr<WaveOutDevice> device = m_makeDevice();
  if (!device) return false;
  auto poster = std::make_shared<MainThreadPoster>(m_postToMainThread);
  auto session = std::make_shared<PlaySession>(std::move(device), std::move(source), poster, m_timings);
  m_lastOpenStatus = session->open(m_device);
  if (m_lastOpenStatus != DeviceStatus::Ok) return false;  // the session releases the source

  m_session = std::move(session);
  m_state = kPlaying;
  if (!startFeeder()) {
    closeSession();
    m_lastOpenStatus = DeviceStatus::Failed;
    return false;
  }
  m_listener->started(m_context);
  reportPosition();
  return true;
}

bool WavePlayer::startFeeder() {
  m_session->clearForFeeder();
  auto feeder = std::make_unique<sys::Thread>();
  sys::Thread& self = *feeder;
  auto session = m_session;  // the thread's own share
  if (!feeder->start([session, &self] { session->runFeeder(self); }, sys::ThreadPriority::Normal)) return false;
  m_feeder = std::move(feeder);
  return true;
}

bool WavePlayer::stopFeeder() {
  if (!m_feeder) return true;
  // At our priority, so that a feeder lowered to below normal winds down now.
  m_feeder->setPriority(sys::currentThreadPriority());
  m_session->requestFeederStop();
  if (m_feeder->join(m_timings.stopWaitMs)) {
    m_feeder.reset();
    return true;
  }
  m_strayWorkers.push_back(std::move(m_feeder));
  return false;
}

void WavePlayer::closeSession() {
  auto session = std::move(m_session);
  m_state = kClosed;
  if (session) session->close();
}

void WavePlayer::abandonSession() {
  // The worker keeps the session; it goes when the worker ends.
  m_session->disablePosts();
  m_session.reset();
  m_state = kClosed;
  m_listener->stopped(m_context);
}

void WavePlayer::stop() {
  if (m_state == kClosed) return;
  if (!stopFeeder()) {
    abandonSession();
    return;
  }
  closeSession();
  m_listener->stopped(m_context);
}

void WavePlayer::hold() {
  if (m_state == kClosed || m_state == kHolding) return;
  if (!stopFeeder()) {
    abandonSession();
    return;
  }
  // The device was reset as the feeder ended.
  m_session->source().seek(m_session->position);
  m_session->position = m_session->source().position();
  primeHoldSnippet();
  m_state = kHolding;
  m_listener->held(m_context);
  reportPosition();
}

void WavePlayer::primeHoldSnippet() {
  LevelRecord snippetLevels = m_session->primeHoldSnippet();
  m_session->setLevels(snippetLevels);
  m_listener->levels(snippetLevels, m_context);
}

void WavePlayer::resume() {
  if (m_state != kHolding) return;
  m_session->device().reset();  // ends the loop
  // The snippet read on past the hold position; streaming goes on from it.
  m_session->source().seek(m_session->position);
  m_state = kPlaying;
  if (!startFeeder()) {
    stop();
    return;
  }
  m_listener->started(m_context);
}

void WavePlayer::seek(int32_t frame) {
  if (m_state == kClosed) return;
  if (!stopFeeder()) {
    abandonSession();
    return;
  }
  m_session->device().reset();
  m_session->source().seek(frame);
  m_session->position = m_session->source().position();
  m_session->finished = false;
  m_session->positionChanged = false;
  if (m_state == kHolding) {
    primeHoldSnippet();
  } else if (!startFeeder()) {
    stop();
    return;
  }
  reportPosition();
}

void WavePlayer::reportPosition() {
  if (m_session) m_listener->position(positionMs(), m_context);
}

void WavePlayer::onNotify() {
  if (!m_session) return;
  if (m_session->finished) {
    int32_t rate = m_session->source().sampleRate();
    m_listener->position(static_cast<int32_t>(framesToMs(m_session->source().length(), rate)), m_context);
    // The listener may have started something new meanwhile.
    if (m_session && m_session->finished) stop();
    return;
  }
  if (m_session->positionChanged.exchange(false)) {
    reportPosition();
    if (m_session) m_listener->levels(m_session->levels(), m_context);
  }
}

int8_t WavePlayer::volume() const {
  uint16_t left = 0;
  uint16_t right = 0;
  bool known = false;
  if (m_session) {
    known = m_session->device().getVolume(m_device, left, right);
  } else if (auto device = m_makeDevice()) {
    known = device->getVolume(m_device, left, right);
  }
  if (known) m_lastVolumeDb = dbFromDeviceVolume(left);
  return m_lastVolumeDb;
}

void WavePlayer::set_volume(int db) {
  uint16_t value = deviceVolumeFromDb(db);
  bool done = false;
  if (m_session) {
    done = m_session->device().setVolume(m_device, value, value);
  } else if (auto device = m_makeDevice()) {
    done = device->setVolume(m_device, value, value);
  }
  if (done) m_lastVolumeDb = dbFromDeviceVolume(value);
}
