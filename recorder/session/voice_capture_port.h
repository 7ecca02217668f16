#pragma once
// The session's capture over the real engine: selects the device, lets the
// program prepare the input (mixer line and record volume) and runs a
// VoiceActivatedCapture with the request's gate.

#include <functional>

#include "devices/voice_activated_capture.h"
#include "recorder/session/session_ports.h"

namespace recorder {

class VoiceCapturePort final : public CapturePort {
 public:
  // prepareInput runs before each start with the request's device, line and
  // volume; it may be empty.
  VoiceCapturePort(VoiceActivatedCapture& capture, std::function<void(const CaptureRequest&)> prepareInput)
      : m_capture(capture), m_prepareInput(std::move(prepareInput)) {}

  void setListener(CaptureListener* listener) override { m_capture.set_listener(listener, nullptr); }
  bool start(SampleSinkRef sink, const CaptureRequest& request) override {
    m_capture.setDevice(request.device, request.line);
    if (m_prepareInput) m_prepareInput(request);
    return m_capture.start(std::move(sink), request.timeCeilingMs, request.triggerLevel, request.hangTimeMs);
  }
  void stop() override { m_capture.stop(); }
  int state() const override { return m_capture.state(); }

 private:
  VoiceActivatedCapture& m_capture;
  std::function<void(const CaptureRequest&)> m_prepareInput;
};

}  // namespace recorder
