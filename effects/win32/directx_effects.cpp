#include "effects/win32/directx_effects.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <dmo.h>
#include <mediaobj.h>
#include <ocidl.h>
#include <olectl.h>
#include <uuids.h>

#include <cstring>
#include <map>
#include <vector>

#include "sys/library.h"
#include "sys/win32/com_pointer.h"
#include "sys/win32/wide_text.h"

using sys::win32::ComPointer;

namespace {

// The audio-effect category of media objects: {F3602B3F-0592-48DF-A4CD-674721E7EBEB}.
const GUID kAudioEffectCategory = {0xF3602B3F, 0x0592, 0x48DF, {0xA4, 0xCD, 0x67, 0x47, 0x21, 0xE7, 0xEB, 0xEB}};
constexpr DWORD kIncludeKeyed = 1;
constexpr DWORD kBufferBytesPerChannel = 16384;  // 8,192 frames of 16-bit PCM

using DmoEnumFunction = HRESULT(WINAPI*)(REFGUID category, DWORD flags, DWORD inputTypes,
                                         const DMO_PARTIAL_MEDIATYPE* inputs, DWORD outputTypes,
                                         const DMO_PARTIAL_MEDIATYPE* outputs, IEnumDMO** found);

// A media buffer over memory of our own.
class MemoryMediaBuffer final : public IMediaBuffer {
 public:
  explicit MemoryMediaBuffer(DWORD capacity) : m_bytes(capacity) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMediaBuffer) {
      *object = static_cast<IMediaBuffer*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP SetLength(DWORD length) override {
    if (length > m_bytes.size()) return E_INVALIDARG;
    m_length = length;
    return S_OK;
  }
  STDMETHODIMP GetMaxLength(DWORD* capacity) override {
    if (!capacity) return E_POINTER;
    *capacity = static_cast<DWORD>(m_bytes.size());
    return S_OK;
  }
  STDMETHODIMP GetBufferAndLength(BYTE** data, DWORD* length) override {
    if (!data && !length) return E_POINTER;
    if (data) *data = m_bytes.data();
    if (length) *length = m_length;
    return S_OK;
  }
  BYTE* data() { return m_bytes.data(); }
  DWORD length() const { return m_length; }

 private:
  ~MemoryMediaBuffer() = default;
  std::vector<BYTE> m_bytes;
  DWORD m_length = 0;
  LONG m_references = 1;
};

// Releases the buffer's first reference.
struct MediaBufferRelease {
  void operator()(MemoryMediaBuffer* buffer) const { buffer->Release(); }
};
using MediaBufferPointer = std::unique_ptr<MemoryMediaBuffer, MediaBufferRelease>;

class ComMediaObject final : public MediaObjectPort {
 public:
  explicit ComMediaObject(IMediaObject* object) : m_object(object) {
    m_object->AddRef();
    m_object->QueryInterface(IID_IMediaObjectInPlace, m_inPlace.outVoid());
  }
  ~ComMediaObject() override {
    // The objects are kept for their settings; a finished run leaves them
    // without buffers or types, ready for the next.
    m_object->Flush();
    m_object->SetInputType(0, nullptr, DMO_SET_TYPEF_CLEAR);
    m_object->SetOutputType(0, nullptr, DMO_SET_TYPEF_CLEAR);
    m_object->Release();
  }

  bool setPcmType(int32_t sampleRate, int channels) override {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nBlockAlign * static_cast<DWORD>(sampleRate);
    DMO_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = format.nBlockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof format;
    type.pbFormat = reinterpret_cast<BYTE*>(&format);
    if (FAILED(m_object->SetInputType(0, &type, 0)) || FAILED(m_object->SetOutputType(0, &type, 0))) return false;
    const DWORD capacity = kBufferBytesPerChannel * static_cast<DWORD>(channels);
    m_input.reset(new MemoryMediaBuffer(capacity));
    m_output.reset(new MemoryMediaBuffer(capacity));
    return true;
  }

  bool processesInPlace() const override { return static_cast<bool>(m_inPlace); }

  bool processInPlace(uint8_t* data, uint32_t bytes) override {
    return SUCCEEDED(m_inPlace->Process(bytes, data, 0, 0));
  }

  InputResult processInput(const uint8_t* data, uint32_t bytes) override {
    DWORD capacity = 0;
    m_input->GetMaxLength(&capacity);
    if (bytes > capacity) return InputResult::Failed;
    std::memcpy(m_input->data(), data, bytes);
    m_input->SetLength(bytes);
    HRESULT result = m_object->ProcessInput(0, m_input.get(), DMO_INPUT_DATA_BUFFERF_SYNCPOINT, 0, 0);
    if (result == S_FALSE) return InputResult::NoOutput;
    return SUCCEEDED(result) ? InputResult::Accepted : InputResult::Failed;
  }

  bool processOutput(uint8_t* data, uint32_t capacity, uint32_t& produced, bool& more) override {
    m_output->SetLength(0);
    DMO_OUTPUT_DATA_BUFFER output{};
    output.pBuffer = m_output.get();
    DWORD status = 0;
    HRESULT result = m_object->ProcessOutput(DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER, 1, &output, &status);
    if (output.pBuffer != m_output.get()) return false;  // an object must not swap the buffer it was given
    if (FAILED(result)) return false;
    // S_FALSE: nothing this time.
    produced = result == S_FALSE ? 0 : std::min<uint32_t>(m_output->length(), capacity);
    std::memcpy(data, m_output->data(), produced);
    more = result != S_FALSE && (output.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) != 0;
    return true;
  }

  void discontinuity() override { m_object->Discontinuity(0); }

 private:
  IMediaObject* m_object;
  ComPointer<IMediaObjectInPlace> m_inPlace;
  MediaBufferPointer m_input;
  MediaBufferPointer m_output;
};

// Objects created so far, by class: settings made in an object's property
// pages last until the program ends.
std::map<std::wstring, ComPointer<IMediaObject>>& createdObjects() {
  static std::map<std::wstring, ComPointer<IMediaObject>> objects;
  return objects;
}

std::wstring keyOf(const CLSID& classId) {
  wchar_t text[64] = {};
  StringFromGUID2(classId, text, 64);
  return text;
}

IMediaObject* keptObject(const CLSID& classId) {
  auto& objects = createdObjects();
  const std::wstring key = keyOf(classId);
  auto found = objects.find(key);
  if (found != objects.end()) return found->second.get();
  ComPointer<IMediaObject> object;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject, object.outVoid())) || !object)
    return nullptr;
  return objects.emplace(key, std::move(object)).first->second.get();
}

}  // namespace

std::vector<DirectXEffectEntry> listDirectXEffects() {
  std::vector<DirectXEffectEntry> effects;
  sys::Library library = sys::Library::load("msdmo.dll");
  auto dmoEnum = reinterpret_cast<DmoEnumFunction>(library.symbol("DMOEnum"));
  if (!dmoEnum) return effects;
  ComPointer<IEnumDMO> found;
  if (FAILED(dmoEnum(kAudioEffectCategory, kIncludeKeyed, 0, nullptr, 0, nullptr, found.out())) || !found)
    return effects;
  CLSID classId;
  WCHAR* name = nullptr;
  DWORD fetched = 0;
  while (found->Next(1, &classId, &name, &fetched) == S_OK && fetched == 1) {
    effects.push_back({classId, name ? sys::win32::narrow(name) : std::string()});
    CoTaskMemFree(name);
    name = nullptr;
  }
  return effects;
}

std::shared_ptr<MediaObjectPort> openDirectXEffect(const CLSID& classId) {
  IMediaObject* object = keptObject(classId);
  if (!object) return nullptr;
  return std::make_shared<ComMediaObject>(object);
}

bool showDirectXEffectProperties(HWND owner, const CLSID& classId) {
  IMediaObject* object = keptObject(classId);
  if (!object) return false;
  ComPointer<ISpecifyPropertyPages> pages;
  if (FAILED(object->QueryInterface(IID_ISpecifyPropertyPages, pages.outVoid())) || !pages) return false;
  CAUUID pageIds{};
  if (FAILED(pages->GetPages(&pageIds))) return false;
  IUnknown* objects[] = {object};
  HRESULT shown = OleCreatePropertyFrame(owner, 0, 0, L"property Sheet", 1, objects, pageIds.cElems, pageIds.pElems,
                                         0, 0, nullptr);
  CoTaskMemFree(pageIds.pElems);
  return SUCCEEDED(shown);
}
