#include "devices/voice_activated_capture.h"

#include <chrono>

#include "sys/threads.h"

namespace {

// What stop keeps of the silence after the last loud block.
constexpr int64_t kKeptTailMs = 50;

}  // namespace

VoiceActivatedCapture::VoiceActivatedCapture(WaveInDeviceMaker makeDevice, std::function<void()> postToMainThread,
                                             CaptureTimings timings)
    : m_makeDevice(std::move(makeDevice)), m_postToMainThread(std::move(postToMainThread)), m_timings(timings) {}

VoiceActivatedCapture::~VoiceActivatedCapture() {
  stop();
  reapStrayThreads(m_timings.destroyWaitMs);
  // A thread still running now owns everything it uses and posts nothing.
  for (auto& thread : m_strayThreads) thread->detach();
}

void VoiceActivatedCapture::set_listener(CaptureListener* listener, void* context) {
  m_listener = listener ? listener : &m_silentListener;
  m_context = context;
}

int32_t VoiceActivatedCapture::state() const { return m_session ? m_session->state.load() : kStopped; }

int64_t VoiceActivatedCapture::positionMs() const { return m_session ? m_session->positionMs.load() : 0; }

int64_t VoiceActivatedCapture::lastLoudMs() const { return m_session ? m_session->lastLoudMs.load() : 0; }

bool VoiceActivatedCapture::ceilingReached() const { return m_session && m_session->ceilingReached(); }

std::vector<std::string> VoiceActivatedCapture::deviceNames() const {
  std::unique_ptr<WaveInDevice> device = m_makeDevice ? m_makeDevice() : nullptr;
  return device ? device->deviceNames() : std::vector<std::string>{kDefaultSoundInName};
}

int VoiceActivatedCapture::strayThreads() {
  reapStrayThreads(0);
  return static_cast<int>(m_strayThreads.size());
}

void VoiceActivatedCapture::reapStrayThreads(int waitMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (auto it = m_strayThreads.begin(); it != m_strayThreads.end();) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if ((*it)->join(static_cast<int>(std::max<int64_t>(left.count(), 0)))) {
      it = m_strayThreads.erase(it);
    } else {
      ++it;
    }
  }
}

bool VoiceActivatedCapture::start(SampleSinkRef sink, int64_t timeCeilingMs, int triggerLevel, int64_t hangTimeMs) {
  if (!sink || !sink->good()) return false;
  stop();
  reapStrayThreads(0);
  m_limits.timeCeilingMs = timeCeilingMs;
  m_limits.triggerLevel = triggerLevel;
  m_limits.releaseLevel = clampTo(static_cast<int64_t>(triggerLevel) - 4, -127, 127);
  m_limits.hangTimeMs = hangTimeMs;
  auto poster = std::make_shared<MainThreadPoster>(m_postToMainThread);
  m_session = std::make_shared<CaptureSession>(std::move(sink), m_limits, poster, m_timings);
  m_session->lastLoudMs = m_session->sinkPositionMs();
  m_session->positionMs = m_session->sinkPositionMs();
  if (!startThread(m_timings.startWaitMs)) {
    endFailedRun();
    return false;
  }
  m_listener->started(m_context);
  m_listener->position(m_session->lastLoudMs, m_context);
  return true;
}

bool VoiceActivatedCapture::startThread(int waitMs) {
  m_session->prepareRun();
  m_session->state = kWaiting;
  auto thread = std::make_unique<sys::Thread>();
  auto session = m_session;  // the thread's own share
  WaveInDeviceMaker makeDevice = m_makeDevice;
  const uint32_t device = m_device;
  if (!thread->start([session, makeDevice, device] { session->run(makeDevice, device); },
                     sys::currentThreadPriority())) {
    m_session->state = kStopped;
    return false;
  }
  m_thread = std::move(thread);
  m_session->waitStarted(waitMs);
  if (m_session->state == kStopped) return false;
  // The thread must never lag behind the device.
  m_thread->setPriority(sys::ThreadPriority::Highest);
  return true;
}

bool VoiceActivatedCapture::stopThread() {
  if (!m_thread) return true;
  // At our priority, so that it winds down now.
  m_thread->setPriority(sys::currentThreadPriority());
  m_session->requestStop();
  if (m_thread->join(m_timings.stopWaitMs)) {
    m_thread.reset();
    return true;
  }
  m_strayThreads.push_back(std::move(m_thread));
  return false;
}

void VoiceActivatedCapture::endFailedRun() {
  // The device did not open: the thread is ending by itself.
  if (!stopThread()) {
    abandonSession();
    return;
  }
  m_session->releaseSink();
  m_session.reset();
}

void VoiceActivatedCapture::abandonSession() {
  // The thread keeps the session and the sink; they go when it ends.
  m_session->disablePosts();
  m_session.reset();
  m_listener->stopped(m_context);
}

void VoiceActivatedCapture::restart() {
  if (!m_session) return;
  if (!stopThread()) {
    abandonSession();
    return;
  }
  m_session->sink().seek(0);
  m_session->lastLoudMs = 0;
  m_session->positionMs = 0;
  if (!startThread(m_timings.restartWaitMs)) {
    endFailedRun();
    m_listener->stopped(m_context);
    return;
  }
  m_listener->started(m_context);
  m_listener->position(m_session->positionMs, m_context);
}

void VoiceActivatedCapture::stop() {
  if (!m_session) return;
  if (!stopThread()) {
    abandonSession();
    return;
  }
  // The silent tail goes, but for 50 ms after the last loud block.
  const int64_t keepTo = m_session->lastLoudMs + kKeptTailMs;
  SampleSink& sink = m_session->sink();
  if (m_session->sinkPositionMs() > keepTo) sink.seek(clampToInt32(msToFrames(keepTo, sink.sampleRate())));
  m_session->releaseSink();
  m_session.reset();
  m_listener->stopped(m_context);
}

void VoiceActivatedCapture::onNotify() {
  if (!m_session) return;
  if (m_session->state == kStopped) {
    // The device failed to open after start had stopped waiting for it.
    endFailedRun();
    m_listener->stopped(m_context);
    return;
  }
  CaptureNews news = m_session->takeNews();
  m_listener->news(news, m_context);
  // The listener may have stopped the capture.
  if (m_session) m_listener->position(m_session->positionMs, m_context);
}
