// The system's newer speech voices: listed from the voice token category,
// spoken asynchronously into a WAVE stream while the word-boundary events
// move the progress.

#include <windows.h>
#include <sapi.h>

#include <algorithm>

#include "editor/speech/speech_engines.h"
#include "sys/win32/com_pointer.h"
#include "ui/text.h"

namespace {

using sys::win32::ComPointer;

// The stream format "a WAVEFORMATEX follows"; the import library lacks it.
const GUID kWaveFormatExStream = {0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};
constexpr const wchar_t* kVoicesCategory = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";
constexpr DWORD kWaitSliceMs = 200;

bool voiceTokens(ComPointer<IEnumSpObjectTokens>& tokens) {
  ComPointer<ISpObjectTokenCategory> category;
  if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                              category.outVoid())) ||
      FAILED(category->SetId(kVoicesCategory, FALSE)))
    return false;
  return SUCCEEDED(category->EnumTokens(nullptr, nullptr, tokens.out())) && tokens;
}

std::string tokenName(ISpObjectToken* token) {
  LPWSTR name = nullptr;
  std::string result;
  if (SUCCEEDED(token->GetStringValue(nullptr, &name)) && name) result = ui::narrow(name);
  CoTaskMemFree(name);
  return result;
}

// Takes every pending event; true once the end of the text was spoken.
bool drainEvents(ISpVoice* voice, SpeechRun& run, size_t textLength) {
  bool ended = false;
  SPEVENT event{};
  ULONG fetched = 0;
  while (voice->GetEvents(1, &event, &fetched) == S_OK && fetched == 1) {
    if (event.eEventId == SPEI_WORD_BOUNDARY)
      run.setFraction(static_cast<double>(event.lParam) / static_cast<double>(textLength));
    else if (event.eEventId == SPEI_END_INPUT_STREAM)
      ended = true;
    // Events that carry a string or an object own it.
    if (event.elParamType == SPET_LPARAM_IS_POINTER || event.elParamType == SPET_LPARAM_IS_STRING)
      CoTaskMemFree(reinterpret_cast<void*>(event.lParam));
    else if (event.elParamType == SPET_LPARAM_IS_TOKEN || event.elParamType == SPET_LPARAM_IS_OBJECT)
      reinterpret_cast<IUnknown*>(event.lParam)->Release();
  }
  return ended;
}

class SystemVoiceFamily : public SpeechFamily {
 public:
  std::vector<std::string> voiceNames() override {
    std::vector<std::string> names;
    ComPointer<IEnumSpObjectTokens> tokens;
    if (!voiceTokens(tokens)) return names;
    ULONG count = 0;
    if (FAILED(tokens->GetCount(&count))) return names;
    for (ULONG i = 0; i < count; ++i) {
      ComPointer<ISpObjectToken> token;
      if (FAILED(tokens->Item(i, token.out())) || !token) continue;
      std::string name = tokenName(token.get());
      names.push_back(name.empty() ? "Voice " + std::to_string(i + 1) : name);
    }
    return names;
  }

  JobResult speak(int index, const std::string& text, const std::string& wavePath, SpeechRun& run) override {
    ComPointer<ISpVoice> voice;
    ComPointer<ISpStream> stream;
    ComPointer<IEnumSpObjectTokens> tokens;
    ComPointer<ISpObjectToken> token;
    if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.outVoid())) ||
        FAILED(CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, stream.outVoid())) ||
        !voiceTokens(tokens) || FAILED(tokens->Item(static_cast<ULONG>(index), token.out())) || !token ||
        FAILED(voice->SetVoice(token.get())))
      return JobResult::Failed;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 88200;
    const std::wstring path = ui::widen(wavePath);
    if (FAILED(stream->BindToFile(path.c_str(), SPFM_CREATE_ALWAYS, &kWaveFormatExStream, &format, 0)))
      return JobResult::Failed;
    JobResult result = speakInto(voice.get(), stream.get(), text, run);
    voice->SetOutput(nullptr, FALSE);
    stream->Close();
    return result;
  }

 private:
  static JobResult speakInto(ISpVoice* voice, ISpStream* stream, const std::string& text, SpeechRun& run) {
    const ULONGLONG interest = SPFEI(SPEI_WORD_BOUNDARY) | SPFEI(SPEI_END_INPUT_STREAM);
    const std::wstring wide = ui::widen(text);
    if (FAILED(voice->SetOutput(stream, TRUE)) || FAILED(voice->SetInterest(interest, interest)) ||
        FAILED(voice->Speak(wide.c_str(), SPF_ASYNC, nullptr)))
      return JobResult::Failed;
    const size_t length = std::max<size_t>(wide.size(), 1);
    while (true) {
      const HRESULT waited = voice->WaitUntilDone(kWaitSliceMs);
      // The end event, or a voice that ended without it (an empty text).
      if (drainEvents(voice, run, length) || waited == S_OK) return JobResult::Done;
      if (FAILED(waited)) return JobResult::Failed;
      if (!run.keepGoing()) {
        voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
        return JobResult::Cancelled;
      }
    }
  }
};

}  // namespace

std::unique_ptr<SpeechFamily> makeSystemVoiceFamily() { return std::make_unique<SystemVoiceFamily>(); }
