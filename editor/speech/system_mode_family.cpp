// The system's older text-to-speech modes: listed by the mode enumerator,
// selected with an audio destination that writes the WAVE file, and fed the
// text as one block while the engine's notifications tell when it started and
// when it is done.

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "editor/speech/speech_engines.h"
#include "editor/speech/system_mode_interfaces.h"
#include "sys/win32/com_pointer.h"
#include "ui/text.h"

namespace {

using sys::win32::ComPointer;
namespace sm = speech_modes;

constexpr DWORD kStepMs = 100;
// How long the engine has to say that it started speaking.
constexpr ULONGLONG kStartWaitMs = 3000;
// How long the audio may go on after the engine is done with the text.
constexpr ULONGLONG kAudioTailWaitMs = 3000;
// More modes than any installation has: a broken enumerator cannot run on.
constexpr size_t kMostModes = 256;

bool createEnumerator(ComPointer<sm::ModeEnum>& modes) {
  return SUCCEEDED(CoCreateInstance(sm::kEnumeratorClass, nullptr, CLSCTX_ALL, sm::kEnumInterface,
                                    modes.outVoid())) &&
         modes;
}

std::string modeName(sm::ModeInfo& mode) {
  mode.modeName[sm::kNameLength - 1] = 0;
  return ui::narrow(mode.modeName);
}

// Both sinks of one speaking, told from whichever thread the engine uses.
class SpeakingSinks final : public sm::NotifySink, public sm::BufferSink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == sm::kNotifySinkInterface)
      *object = static_cast<sm::NotifySink*>(this);
    else if (iid == sm::kBufferSinkInterface)
      *object = static_cast<sm::BufferSink*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    const long left = --m_references;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP AttribChanged(DWORD) override { return S_OK; }
  STDMETHODIMP AudioStart(sm::QWORD) override {
    m_audioStarted = true;
    return S_OK;
  }
  STDMETHODIMP AudioStop(sm::QWORD) override {
    m_audioStopped = true;
    return S_OK;
  }
  STDMETHODIMP Visual(sm::QWORD, WCHAR, WCHAR, DWORD, void*) override { return S_OK; }

  STDMETHODIMP TextDataDone(sm::QWORD, DWORD) override {
    m_textDone = true;
    return S_OK;
  }
  STDMETHODIMP TextDataStarted(sm::QWORD) override {
    m_textStarted = true;
    return S_OK;
  }
  STDMETHODIMP BookMark(sm::QWORD, DWORD) override { return S_OK; }
  STDMETHODIMP WordPosition(sm::QWORD, DWORD) override { return S_OK; }

  bool started() const { return m_textStarted || m_audioStarted; }
  bool textDone() const { return m_textDone; }
  // Done with the text, and with the audio when the engine said it started.
  bool finished() const { return m_textDone && (!m_audioStarted || m_audioStopped); }

 private:
  std::atomic<long> m_references{1};
  std::atomic<bool> m_textStarted{false}, m_textDone{false};
  std::atomic<bool> m_audioStarted{false}, m_audioStopped{false};
};

// One wait step: sleeps until a message arrives or the step is over.
void waitStep() { MsgWaitForMultipleObjects(0, nullptr, FALSE, kStepMs, QS_ALLINPUT); }

class SystemModeFamily : public SpeechFamily {
 public:
  std::vector<std::string> voiceNames() override {
    std::vector<std::string> names;
    ComPointer<sm::ModeEnum> modes;
    if (!createEnumerator(modes)) return names;
    sm::ModeInfo mode{};
    ULONG fetched = 0;
    while (names.size() < kMostModes && modes->Next(1, &mode, &fetched) == S_OK && fetched == 1) {
      std::string name = modeName(mode);
      names.push_back(name.empty() ? "Mode " + std::to_string(names.size() + 1) : name);
      mode = sm::ModeInfo{};
    }
    return names;
  }

  JobResult speak(int index, const std::string& text, const std::string& wavePath, SpeechRun& run) override {
    ComPointer<sm::ModeEnum> modes;
    sm::ModeInfo mode{};
    ULONG fetched = 0;
    if (index < 0 || !createEnumerator(modes) || (index > 0 && modes->Skip(static_cast<ULONG>(index)) != S_OK) ||
        modes->Next(1, &mode, &fetched) != S_OK || fetched != 1)
      return JobResult::Failed;
    ComPointer<sm::AudioFile> file;
    const std::wstring path = ui::widen(wavePath);
    if (FAILED(CoCreateInstance(sm::kFileDestinationClass, nullptr, CLSCTX_ALL, sm::kAudioFileInterface,
                                file.outVoid())) ||
        !file || FAILED(file->Set(path.c_str(), 1)))
      return JobResult::Failed;
    ComPointer<sm::Central> central;
    if (FAILED(modes->Select(mode.modeId, central.out(), file.get())) || !central) return JobResult::Failed;

    auto* sinks = new SpeakingSinks;
    DWORD key = 0;
    const bool registered =
        SUCCEEDED(central->Register(static_cast<sm::NotifySink*>(sinks), sm::kNotifySinkInterface, &key));
    const JobResult result = speakInto(central.get(), *sinks, ui::widen(text), run);
    if (registered) central->UnRegister(key);
    // The engine lets go of the destination, which closes the file.
    central.reset();
    file.reset();
    sinks->Release();
    return result;
  }

 private:
  static JobResult speakInto(sm::Central* central, SpeakingSinks& sinks, const std::wstring& text,
                             SpeechRun& run) {
    // The whole text in one block, its terminating zero counted.
    sm::SpeechData data{const_cast<wchar_t*>(text.c_str()), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))};
    if (FAILED(central->TextData(sm::kPlainText, 0, data, static_cast<sm::BufferSink*>(&sinks),
                                 sm::kBufferSinkInterface)))
      return JobResult::Failed;
    const auto cancel = [&] {
      central->AudioReset();
      return JobResult::Cancelled;
    };
    const ULONGLONG start = GetTickCount64();
    while (!sinks.started() && !sinks.textDone() && GetTickCount64() - start < kStartWaitMs) {
      if (!run.keepGoing()) return cancel();
      waitStep();
    }
    // The engine tells nothing of how far it is: each step covers a share of
    // what is left of the bar, larger for longer texts.
    const double share = std::max(0.0, 1.0 - 10.0 / static_cast<double>(std::max<size_t>(text.size() + 1, 1)));
    double fraction = 0;
    ULONGLONG textDoneAt = 0;
    while (!sinks.finished()) {
      if (sinks.textDone()) {
        if (textDoneAt == 0) textDoneAt = GetTickCount64();
        if (GetTickCount64() - textDoneAt >= kAudioTailWaitMs) break;
      }
      if (!run.keepGoing()) return cancel();
      waitStep();
      fraction += (1.0 - fraction) * share;
      run.setFraction(fraction);
    }
    return JobResult::Done;
  }
};

}  // namespace

std::unique_ptr<SpeechFamily> makeSystemModeFamily() { return std::make_unique<SystemModeFamily>(); }
