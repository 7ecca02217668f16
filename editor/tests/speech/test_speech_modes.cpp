// A text-to-speech engine of the system's older kind, for the editor's
// end-to-end test: the mode enumerator and the file destination, registered
// in the test's Wine prefix. Its modes "speak" a sine of their own pitch,
// 0.05 s for every character of the text, written into the destination's file
// at a paced rate so that a long text can be cancelled; the third mode cannot
// be selected. The text must come as plain wide text with its terminating
// zero counted, or the engine refuses it.

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "editor/speech/system_mode_interfaces.h"
#include "testkit/win32/com_class_server.h"

namespace {

namespace sm = speech_modes;

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};

constexpr int kRate = 44100;
constexpr int kFramesPerCharacter = kRate / 20;
constexpr DWORD kPaceMs = 10;  // per character written
constexpr DWORD kStartDelayMs = 150;
constexpr double kTwoPi = 6.283185307179586;

// {8E1F7A20-5C0B-4D4B-9C6E-2A1D3F4B5C01}: the destination object itself.
constexpr IID kOwnDestination = {0x8e1f7a20, 0x5c0b, 0x4d4b, {0x9c, 0x6e, 0x2a, 0x1d, 0x3f, 0x4b, 0x5c, 0x01}};

struct TestMode {
  GUID id;
  const wchar_t* name;
  double pitch;  // 0: cannot be selected
};
const TestMode kModes[] = {
    {{0x8e1f7a21, 0x5c0b, 0x4d4b, {0x9c, 0x6e, 0x2a, 0x1d, 0x3f, 0x4b, 0x5c, 0x02}}, L"Zed Test Voice Low", 300},
    {{0x8e1f7a22, 0x5c0b, 0x4d4b, {0x9c, 0x6e, 0x2a, 0x1d, 0x3f, 0x4b, 0x5c, 0x03}}, L"Zed Test Voice High", 600},
    {{0x8e1f7a23, 0x5c0b, 0x4d4b, {0x9c, 0x6e, 0x2a, 0x1d, 0x3f, 0x4b, 0x5c, 0x04}}, L"Zed Test Voice Broken", 0},
};
constexpr ULONG kModeCount = sizeof kModes / sizeof kModes[0];

// Reference counting shared by every object of the engine.
template <class Interface>
class Counted : public Interface {
 public:
  Counted() { ++g_objects; }
  virtual ~Counted() { --g_objects; }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    const long left = --m_references;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  HRESULT answer(REFIID iid, REFIID own, void** object) {
    if (iid != IID_IUnknown && iid != own) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<long> m_references{1};
};

class FileDestination final : public Counted<sm::AudioFile> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == kOwnDestination) {
      *object = this;
      AddRef();
      return S_OK;
    }
    return answer(iid, sm::kAudioFileInterface, object);
  }
  STDMETHODIMP Register(IUnknown*) override { return S_OK; }
  STDMETHODIMP Set(const WCHAR* path, DWORD) override {
    if (!path) return E_INVALIDARG;
    m_path = path;
    return S_OK;
  }
  STDMETHODIMP Add(const WCHAR*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Flush() override { return S_OK; }
  STDMETHODIMP RealTimeSet(WORD) override { return S_OK; }
  STDMETHODIMP RealTimeGet(WORD* percent) override {
    *percent = 100;
    return S_OK;
  }
  const std::wstring& path() const { return m_path; }

 private:
  std::wstring m_path;
};

void putWaveHeader(HANDLE file, uint32_t frames) {
  const uint32_t dataBytes = frames * 2;
  uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0};
  auto put32 = [&](int at, uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put32(4, 36 + dataBytes);
  put32(24, kRate);
  put32(28, kRate * 2);
  header[32] = 2;
  header[34] = 16;
  std::memcpy(header + 36, "data", 4);
  put32(40, dataBytes);
  DWORD written = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  WriteFile(file, header, sizeof header, &written, nullptr);
}

class Engine final : public Counted<sm::Central> {
 public:
  Engine(double pitch, FileDestination* destination) : m_pitch(pitch), m_destination(destination) {
    m_destination->AddRef();
  }
  ~Engine() override {
    stopSpeaking();
    if (m_notify) m_notify->Release();
    m_destination->Release();
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return answer(iid, sm::kCentralInterface, object);
  }
  STDMETHODIMP Inject(const WCHAR*) override { return S_OK; }
  STDMETHODIMP ModeGet(sm::ModeInfo*) override { return E_NOTIMPL; }
  STDMETHODIMP Phoneme(DWORD, DWORD, sm::SpeechData, sm::SpeechData*) override { return E_NOTIMPL; }
  STDMETHODIMP PosnGet(sm::QWORD* position) override {
    *position = 0;
    return S_OK;
  }
  STDMETHODIMP TextData(DWORD charset, DWORD, sm::SpeechData text, void* sink, IID sinkInterface) override {
    const size_t units = text.size / sizeof(wchar_t);
    const auto* characters = static_cast<const wchar_t*>(text.data);
    if (charset != sm::kPlainText || !characters || text.size % sizeof(wchar_t) != 0 || units == 0 ||
        characters[units - 1] != 0 || (sink && sinkInterface != sm::kBufferSinkInterface) || m_speaker.joinable())
      return E_INVALIDARG;
    auto* bufferSink = static_cast<sm::BufferSink*>(sink);
    if (bufferSink) bufferSink->AddRef();
    m_abort = false;
    m_speaker = std::thread([this, bufferSink, count = units - 1] { speak(count, bufferSink); });
    return S_OK;
  }
  STDMETHODIMP ToFileTime(sm::QWORD*, FILETIME*) override { return E_NOTIMPL; }
  STDMETHODIMP AudioPause() override { return S_OK; }
  STDMETHODIMP AudioResume() override { return S_OK; }
  STDMETHODIMP AudioReset() override {
    stopSpeaking();
    return S_OK;
  }
  STDMETHODIMP Register(void* sink, IID sinkInterface, DWORD* key) override {
    if (!sink || sinkInterface != sm::kNotifySinkInterface || m_notify) return E_INVALIDARG;
    m_notify = static_cast<sm::NotifySink*>(sink);
    m_notify->AddRef();
    *key = 1;
    return S_OK;
  }
  STDMETHODIMP UnRegister(DWORD key) override {
    if (key != 1 || !m_notify) return E_INVALIDARG;
    stopSpeaking();
    m_notify->Release();
    m_notify = nullptr;
    return S_OK;
  }

 private:
  void stopSpeaking() {
    m_abort = true;
    if (m_speaker.joinable()) m_speaker.join();
  }

  void speak(size_t characters, sm::BufferSink* sink) {
    Sleep(kStartDelayMs);
    if (sink) sink->TextDataStarted(0);
    if (m_notify) m_notify->AudioStart(0);
    HANDLE file = CreateFileW(m_destination->path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    uint32_t frames = 0;
    if (file != INVALID_HANDLE_VALUE) {
      putWaveHeader(file, 0);
      std::vector<int16_t> block(kFramesPerCharacter);
      for (size_t c = 0; c < characters && !m_abort; ++c) {
        for (int16_t& sample : block) {
          sample = static_cast<int16_t>(16000 * std::sin(kTwoPi * m_pitch * frames / kRate));
          ++frames;
        }
        DWORD written = 0;
        WriteFile(file, block.data(), static_cast<DWORD>(block.size() * 2), &written, nullptr);
        Sleep(kPaceMs);
      }
      putWaveHeader(file, frames);
      CloseHandle(file);
    }
    if (sink) {
      sink->TextDataDone(frames, m_abort ? sm::kAbortedFlag : 0);
      sink->Release();
    }
    if (m_notify) m_notify->AudioStop(frames);
  }

  double m_pitch;
  FileDestination* m_destination;
  sm::NotifySink* m_notify = nullptr;
  std::thread m_speaker;
  std::atomic<bool> m_abort{false};
};

class Modes final : public Counted<sm::ModeEnum> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return answer(iid, sm::kEnumInterface, object);
  }
  STDMETHODIMP Next(ULONG count, sm::ModeInfo* modes, ULONG* fetched) override {
    ULONG given = 0;
    for (; given < count && m_next < kModeCount; ++given, ++m_next) {
      modes[given] = sm::ModeInfo{};
      modes[given].modeId = kModes[m_next].id;
      lstrcpynW(modes[given].modeName, kModes[m_next].name, sm::kNameLength);
      lstrcpynW(modes[given].maker, L"Zed Test", sm::kNameLength);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    m_next += count;
    return m_next <= kModeCount ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    m_next = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(sm::ModeEnum**) override { return E_NOTIMPL; }
  STDMETHODIMP Select(GUID modeId, sm::Central** central, IUnknown* destination) override {
    *central = nullptr;
    FileDestination* file = nullptr;
    if (!destination || FAILED(destination->QueryInterface(kOwnDestination, reinterpret_cast<void**>(&file))))
      return E_INVALIDARG;
    HRESULT result = E_FAIL;
    for (const TestMode& mode : kModes)
      if (IsEqualGUID(mode.id, modeId) && mode.pitch > 0) {
        *central = new Engine(mode.pitch, file);
        result = S_OK;
      }
    file->Release();
    return result;
  }

 private:
  ULONG m_next = 0;
};

testkit::ClassFactory g_modesFactory([]() -> IUnknown* { return new Modes; });
testkit::ClassFactory g_destinationFactory([]() -> IUnknown* { return new FileDestination; });

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (classId == sm::kEnumeratorClass) return g_modesFactory.QueryInterface(iid, object);
  if (classId == sm::kFileDestinationClass) return g_destinationFactory.QueryInterface(iid, object);
  *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  const HRESULT modes = testkit::registerInprocServer(g_module, sm::kEnumeratorClass);
  const HRESULT destination = testkit::registerInprocServer(g_module, sm::kFileDestinationClass);
  return FAILED(modes) ? modes : destination;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  testkit::unregisterInprocServer(sm::kEnumeratorClass);
  testkit::unregisterInprocServer(sm::kFileDestinationClass);
  return S_OK;
}
