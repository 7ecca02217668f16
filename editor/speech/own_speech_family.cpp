// The speech engine the editor carries (eSpeak NG, built into the program),
// so that Text To Speech works where the system has no engine. Its voice data
// sits beside the program in "espeak-ng-data".

#define LIBESPEAK_NG_EXPORT  // a static library: no import stubs
#include <espeak-ng/espeak_ng.h>

#include <algorithm>
#include <vector>

#include "core/sample.h"
#include "editor/speech/speech_engines.h"
#include "formats/formats.h"
#include "sys/folders.h"

namespace {

// The engine keeps one state for the whole process and calls back on the
// thread that asked it to speak: the text being spoken is this one.
struct Speaking {
  SampleSinkRef sink;
  SpeechRun* run = nullptr;
  size_t textLength = 1;
  bool cancelled = false;
  std::vector<Sample> samples;
};
Speaking* g_speaking = nullptr;

int onSynthesized(short* wave, int count, espeak_EVENT* events) {
  Speaking* speaking = g_speaking;
  if (!speaking) return 1;
  for (espeak_EVENT* event = events; event && event->type != espeakEVENT_LIST_TERMINATED; ++event)
    if (event->type == espeakEVENT_WORD)
      speaking->run->setFraction(static_cast<double>(event->text_position) / speaking->textLength);
  if (wave && count > 0) {
    speaking->samples.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) speaking->samples[i] = static_cast<Sample>(wave[i]) * 16;
    speaking->sink->write(speaking->samples.data(), count);
  }
  if (!speaking->run->keepGoing()) speaking->cancelled = true;
  return speaking->cancelled ? 1 : 0;
}

class OwnSpeechFamily : public SpeechFamily {
 public:
  explicit OwnSpeechFamily(std::string dataFolder) : m_dataFolder(std::move(dataFolder)) {}
  ~OwnSpeechFamily() override {
    if (m_ready) espeak_ng_Terminate();
  }

  std::vector<std::string> voiceNames() override {
    if (!sys::fileExists(sys::joinPath(sys::joinPath(m_dataFolder, "espeak-ng-data"), "phontab"))) return {};
    return {"Razavo English voice (eSpeak NG)"};
  }

  JobResult speak(int voice, const std::string& text, const std::string& wavePath, SpeechRun& run) override {
    if (voice != 0 || !start()) return JobResult::Failed;
    Speaking speaking;
    speaking.sink = makeWavePcmSink(wavePath, espeak_ng_GetSampleRate(), 1, 2);
    if (!speaking.sink || !speaking.sink->good()) return JobResult::Failed;
    speaking.run = &run;
    speaking.textLength = std::max<size_t>(text.size(), 1);
    g_speaking = &speaking;
    const espeak_ng_STATUS status =
        espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    g_speaking = nullptr;
    // Synthesis runs inside the call; a cancel ends it with an error status.
    const bool closed = speaking.sink->close() == SourceStatus::Good;
    if (speaking.cancelled) return JobResult::Cancelled;
    return status == ENS_OK && closed ? JobResult::Done : JobResult::Failed;
  }

 private:
  bool start() {
    if (m_ready) return true;
    espeak_ng_InitializePath(m_dataFolder.c_str());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) return false;
    // Synchronous: the samples arrive in the callback, in pieces of 100 ms.
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 100, nullptr) != ENS_OK ||
        espeak_ng_SetVoiceByName(ESPEAKNG_DEFAULT_VOICE) != ENS_OK) {
      espeak_ng_Terminate();
      return false;
    }
    espeak_SetSynthCallback(onSynthesized);
    m_ready = true;
    return true;
  }

  std::string m_dataFolder;
  bool m_ready = false;
};

}  // namespace

std::unique_ptr<SpeechFamily> makeOwnSpeechFamily(const std::string& dataFolder) {
  return std::make_unique<OwnSpeechFamily>(dataFolder);
}
