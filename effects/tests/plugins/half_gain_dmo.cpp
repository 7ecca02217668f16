// Two media objects of the audio-effect category built for the tests of the
// DirectX effect host. Both halve 16-bit PCM of one or two channels. One
// works through its input and output streams and gives its output in pieces
// of at most kPieceBytes, saying each time that more follows; the other
// also processes in place. DllRegisterServer registers both classes in the
// test's prefix; DllUnregisterServer removes them.

#include <windows.h>
#include <mmsystem.h>
#include <dmo.h>
#include <dmoreg.h>
#include <mediaobj.h>
#include <mmreg.h>
#include <uuids.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "testkit/win32/com_class_server.h"

// {6A1D3C1E-4B0F-4F5E-9C3A-2E7B1D0A5F01} and {...02}
const CLSID kStreamingHalfGain = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x01}};
const CLSID kInPlaceHalfGain = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x02}};
const GUID kAudioEffectCategory = {0xF3602B3F, 0x0592, 0x48DF, {0xA4, 0xCD, 0x67, 0x47, 0x21, 0xE7, 0xEB, 0xEB}};

namespace {

constexpr DWORD kPieceBytes = 3000;
HMODULE g_module = nullptr;
LONG g_objects = 0;

bool isHalvablePcm(const DMO_MEDIA_TYPE* type) {
  if (!type || type->majortype != MEDIATYPE_Audio || type->subtype != MEDIASUBTYPE_PCM ||
      type->formattype != FORMAT_WaveFormatEx || type->cbFormat < sizeof(WAVEFORMATEX) || !type->pbFormat)
    return false;
  const auto* format = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
  return format->wFormatTag == WAVE_FORMAT_PCM && format->wBitsPerSample == 16 && format->nChannels >= 1 &&
         format->nChannels <= 2;
}

void halve(BYTE* data, DWORD bytes) {
  auto* samples = reinterpret_cast<int16_t*>(data);
  for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = static_cast<int16_t>(samples[i] / 2);
}

class HalfGain final : public IMediaObject, public IMediaObjectInPlace {
 public:
  explicit HalfGain(bool inPlace) : m_inPlace(inPlace) { InterlockedIncrement(&g_objects); }
  ~HalfGain() { InterlockedDecrement(&g_objects); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMediaObject) {
      *object = static_cast<IMediaObject*>(this);
    } else if (iid == IID_IMediaObjectInPlace && m_inPlace) {
      *object = static_cast<IMediaObjectInPlace*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP GetStreamCount(DWORD* inputs, DWORD* outputs) override {
    *inputs = *outputs = 1;
    return S_OK;
  }
  STDMETHODIMP GetInputStreamInfo(DWORD, DWORD* flags) override {
    *flags = 0;
    return S_OK;
  }
  STDMETHODIMP GetOutputStreamInfo(DWORD, DWORD* flags) override {
    *flags = 0;
    return S_OK;
  }
  STDMETHODIMP GetInputType(DWORD, DWORD, DMO_MEDIA_TYPE*) override { return DMO_E_NO_MORE_ITEMS; }
  STDMETHODIMP GetOutputType(DWORD, DWORD, DMO_MEDIA_TYPE*) override { return DMO_E_NO_MORE_ITEMS; }
  STDMETHODIMP SetInputType(DWORD, const DMO_MEDIA_TYPE* type, DWORD flags) override {
    return setType(m_inputType, m_hasInput, type, flags);
  }
  STDMETHODIMP SetOutputType(DWORD, const DMO_MEDIA_TYPE* type, DWORD flags) override {
    return setType(m_outputType, m_hasOutput, type, flags);
  }
  STDMETHODIMP GetInputCurrentType(DWORD, DMO_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP GetOutputCurrentType(DWORD, DMO_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP GetInputSizeInfo(DWORD, DWORD* size, DWORD* lookahead, DWORD* alignment) override {
    *size = m_inputType.nBlockAlign;
    *lookahead = 0;
    *alignment = 1;
    return S_OK;
  }
  STDMETHODIMP GetOutputSizeInfo(DWORD, DWORD* size, DWORD* alignment) override {
    *size = m_outputType.nBlockAlign;
    *alignment = 1;
    return S_OK;
  }
  STDMETHODIMP GetInputMaxLatency(DWORD, REFERENCE_TIME* latency) override {
    *latency = 0;
    return S_OK;
  }
  STDMETHODIMP SetInputMaxLatency(DWORD, REFERENCE_TIME) override { return E_NOTIMPL; }
  STDMETHODIMP Flush() override {
    m_pending.clear();
    return S_OK;
  }
  STDMETHODIMP Discontinuity(DWORD) override { return S_OK; }
  STDMETHODIMP AllocateStreamingResources() override { return S_OK; }
  STDMETHODIMP FreeStreamingResources() override { return S_OK; }
  STDMETHODIMP GetInputStatus(DWORD, DWORD* flags) override {
    *flags = m_pending.empty() ? DMO_INPUT_STATUSF_ACCEPT_DATA : 0;
    return S_OK;
  }
  STDMETHODIMP ProcessInput(DWORD, IMediaBuffer* buffer, DWORD, REFERENCE_TIME, REFERENCE_TIME) override {
    if (!m_hasInput || !m_hasOutput) return DMO_E_TYPE_NOT_SET;
    if (!m_pending.empty()) return DMO_E_NOTACCEPTING;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(buffer->GetBufferAndLength(&data, &length))) return E_FAIL;
    if (length == 0) return S_FALSE;
    m_pending.assign(data, data + length);
    halve(m_pending.data(), length);
    return S_OK;
  }
  STDMETHODIMP ProcessOutput(DWORD, DWORD count, DMO_OUTPUT_DATA_BUFFER* outputs, DWORD* status) override {
    *status = 0;
    if (count != 1) return E_INVALIDARG;
    outputs[0].dwStatus = 0;
    if (m_pending.empty()) return S_FALSE;
    if (!outputs[0].pBuffer) return E_POINTER;
    BYTE* data = nullptr;
    DWORD capacity = 0;
    outputs[0].pBuffer->GetMaxLength(&capacity);
    outputs[0].pBuffer->GetBufferAndLength(&data, nullptr);
    const DWORD piece = std::min<DWORD>({kPieceBytes, capacity, static_cast<DWORD>(m_pending.size())});
    std::memcpy(data, m_pending.data(), piece);
    outputs[0].pBuffer->SetLength(piece);
    m_pending.erase(m_pending.begin(), m_pending.begin() + piece);
    if (!m_pending.empty()) outputs[0].dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
    return S_OK;
  }
  STDMETHODIMP Lock(LONG) override { return S_OK; }

  STDMETHODIMP Process(ULONG bytes, BYTE* data, REFERENCE_TIME, DWORD) override {
    if (!m_hasInput || !m_hasOutput) return DMO_E_TYPE_NOT_SET;
    halve(data, bytes);
    return S_OK;
  }
  STDMETHODIMP Clone(IMediaObjectInPlace**) override { return E_NOTIMPL; }
  STDMETHODIMP GetLatency(REFERENCE_TIME* latency) override {
    *latency = 0;
    return S_OK;
  }

 private:
  HRESULT setType(WAVEFORMATEX& kept, bool& isSet, const DMO_MEDIA_TYPE* type, DWORD flags) {
    if (flags & DMO_SET_TYPEF_CLEAR) {
      isSet = false;
      return S_OK;
    }
    if (!isHalvablePcm(type)) return DMO_E_TYPE_NOT_ACCEPTED;
    if (flags & DMO_SET_TYPEF_TEST_ONLY) return S_OK;
    kept = *reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
    isSet = true;
    return S_OK;
  }

  LONG m_references = 1;
  bool m_inPlace;
  bool m_hasInput = false;
  bool m_hasOutput = false;
  WAVEFORMATEX m_inputType{};
  WAVEFORMATEX m_outputType{};
  std::vector<BYTE> m_pending;  // halved input not handed out yet
};

testkit::ClassFactory g_streamingFactory([]() -> IUnknown* { return static_cast<IMediaObject*>(new HalfGain(false)); });
testkit::ClassFactory g_inPlaceFactory([]() -> IUnknown* { return static_cast<IMediaObject*>(new HalfGain(true)); });

HRESULT registerClass(const CLSID& classId, const wchar_t* name) {
  const HRESULT server = testkit::registerInprocServer(g_module, classId);
  if (FAILED(server)) return server;
  DMO_PARTIAL_MEDIATYPE pcm{MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
  return DMORegister(name, classId, kAudioEffectCategory, 0, 1, &pcm, 1, &pcm);
}

void unregisterClass(const CLSID& classId) {
  DMOUnregister(classId, kAudioEffectCategory);
  testkit::unregisterInprocServer(classId);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (classId == kStreamingHalfGain) return g_streamingFactory.QueryInterface(iid, object);
  if (classId == kInPlaceHalfGain) return g_inPlaceFactory.QueryInterface(iid, object);
  *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  HRESULT streaming = registerClass(kStreamingHalfGain, L"Zed Test Half Gain (streams)");
  HRESULT inPlace = registerClass(kInPlaceHalfGain, L"Zed Test Half Gain (in place)");
  return FAILED(streaming) ? streaming : inPlace;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  unregisterClass(kStreamingHalfGain);
  unregisterClass(kInPlaceHalfGain);
  return S_OK;
}
