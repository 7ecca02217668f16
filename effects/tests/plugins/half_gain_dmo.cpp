// Two media objects of the audio-effect category built for the tests of the
// DirectX effect host. Both halve 16-bit PCM of one or two channels. One
// works through its input and output streams and gives its output in pieces
// of at most kPieceBytes, saying each time that more follows; the other
// also processes in place. The streaming one has a property page with a
// "Quarter gain" box: applied, the object divides by four instead of two, so
// a test can tell that settings made in the page are the ones that run.
// DllRegisterServer registers the classes in the test's prefix;
// DllUnregisterServer removes them.

#include <windows.h>
#include <mmsystem.h>
#include <dmo.h>
#include <dmoreg.h>
#include <mediaobj.h>
#include <ocidl.h>
#include <olectl.h>
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
// {6A1D3C1E-4B0F-4F5E-9C3A-2E7B1D0A5F03}: the property page of the streaming object.
const CLSID kGainPage = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x03}};
// {6A1D3C1E-4B0F-4F5E-9C3A-2E7B1D0A5F04}: the object itself, for its page.
const IID kOwnObject = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x04}};
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

void divide(BYTE* data, DWORD bytes, int divisor) {
  auto* samples = reinterpret_cast<int16_t*>(data);
  for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = static_cast<int16_t>(samples[i] / divisor);
}

class HalfGain final : public IMediaObject, public IMediaObjectInPlace, public ISpecifyPropertyPages {
 public:
  explicit HalfGain(bool inPlace) : m_inPlace(inPlace) { InterlockedIncrement(&g_objects); }
  ~HalfGain() { InterlockedDecrement(&g_objects); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMediaObject) {
      *object = static_cast<IMediaObject*>(this);
    } else if (iid == IID_IMediaObjectInPlace && m_inPlace) {
      *object = static_cast<IMediaObjectInPlace*>(this);
    } else if (iid == IID_ISpecifyPropertyPages && !m_inPlace) {
      *object = static_cast<ISpecifyPropertyPages*>(this);
    } else if (iid == kOwnObject) {
      *object = static_cast<IMediaObject*>(this);
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
    divide(m_pending.data(), length, m_divisor);
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
    divide(data, bytes, m_divisor);
    return S_OK;
  }
  STDMETHODIMP Clone(IMediaObjectInPlace**) override { return E_NOTIMPL; }
  STDMETHODIMP GetLatency(REFERENCE_TIME* latency) override {
    *latency = 0;
    return S_OK;
  }

  STDMETHODIMP GetPages(CAUUID* pages) override {
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->cElems = 1;
    pages->pElems[0] = kGainPage;
    return S_OK;
  }

  int divisor() const { return m_divisor; }
  void setDivisor(int divisor) { m_divisor = divisor; }

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
  int m_divisor = 2;
  bool m_hasInput = false;
  bool m_hasOutput = false;
  WAVEFORMATEX m_inputType{};
  WAVEFORMATEX m_outputType{};
  std::vector<BYTE> m_pending;  // halved input not handed out yet
};

// The streaming object's page: one box, which takes effect at once, as the
// pages of effects do so that the user hears the change (the system's frame
// under Wine never calls Apply).
class GainPage final : public IPropertyPage {
 public:
  static constexpr int kQuarterBox = 1001;
  GainPage() { InterlockedIncrement(&g_objects); }
  ~GainPage() {
    setObject(nullptr);
    if (m_site) m_site->Release();
    InterlockedDecrement(&g_objects);
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IPropertyPage) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
    if (site) site->AddRef();
    if (m_site) m_site->Release();
    m_site = site;
    return S_OK;
  }
  STDMETHODIMP Activate(HWND parent, LPCRECT area, BOOL) override {
    WNDCLASSW type{};
    type.lpfnWndProc = pageProcedure;
    type.hInstance = g_module;
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = kPageClass;
    RegisterClassW(&type);  // fails harmlessly once registered
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_VISIBLE, area->left, area->top,
                               area->right - area->left, area->bottom - area->top, parent, nullptr, g_module, nullptr);
    if (!m_window) return E_FAIL;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HWND box = CreateWindowExW(0, L"BUTTON", L"Quarter gain", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10,
                               10, 160, 20, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kQuarterBox)),
                               g_module, nullptr);
    if (box && m_object) SendMessageW(box, BM_SETCHECK, m_object->divisor() == 4 ? BST_CHECKED : BST_UNCHECKED, 0);
    return S_OK;
  }
  STDMETHODIMP Deactivate() override {
    if (m_window) DestroyWindow(m_window);
    m_window = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override {
    static const wchar_t kTitle[] = L"Gain";
    info->cb = sizeof *info;
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kTitle));
    if (info->pszTitle) std::memcpy(info->pszTitle, kTitle, sizeof kTitle);
    info->size = SIZE{200, 60};
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
  }
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
    setObject(nullptr);
    if (count == 0) return S_OK;
    IMediaObject* own = nullptr;
    if (FAILED(objects[0]->QueryInterface(kOwnObject, reinterpret_cast<void**>(&own)))) return E_INVALIDARG;
    setObject(static_cast<HalfGain*>(own));
    return S_OK;
  }
  STDMETHODIMP Show(UINT command) override {
    if (m_window) ShowWindow(m_window, command);
    return S_OK;
  }
  STDMETHODIMP Move(LPCRECT area) override {
    if (m_window) MoveWindow(m_window, area->left, area->top, area->right - area->left, area->bottom - area->top, TRUE);
    return S_OK;
  }
  STDMETHODIMP IsPageDirty() override { return S_FALSE; }
  STDMETHODIMP Apply() override {
    applyBox();
    return S_OK;
  }
  STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

 private:
  static constexpr const wchar_t* kPageClass = L"ZedTestGainPage";

  // A click on the box sets the object at once.
  static LRESULT CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<GainPage*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COMMAND && LOWORD(wParam) == kQuarterBox && HIWORD(wParam) == BN_CLICKED && page) {
      page->applyBox();
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void applyBox() {
    if (!m_object || !m_window) return;
    const bool quarter = SendDlgItemMessageW(m_window, kQuarterBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    m_object->setDivisor(quarter ? 4 : 2);
  }

  // Holds one reference, taken by the caller.
  void setObject(HalfGain* object) {
    if (m_object) static_cast<IMediaObject*>(m_object)->Release();
    m_object = object;
  }

  LONG m_references = 1;
  IPropertyPageSite* m_site = nullptr;
  HalfGain* m_object = nullptr;
  HWND m_window = nullptr;
};

testkit::ClassFactory g_streamingFactory([]() -> IUnknown* { return static_cast<IMediaObject*>(new HalfGain(false)); });
testkit::ClassFactory g_inPlaceFactory([]() -> IUnknown* { return static_cast<IMediaObject*>(new HalfGain(true)); });
testkit::ClassFactory g_pageFactory([]() -> IUnknown* { return new GainPage; });

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
  if (classId == kGainPage) return g_pageFactory.QueryInterface(iid, object);
  *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  HRESULT streaming = registerClass(kStreamingHalfGain, L"Zed Test Half Gain (streams)");
  HRESULT inPlace = registerClass(kInPlaceHalfGain, L"Zed Test Half Gain (in place)");
  HRESULT page = testkit::registerInprocServer(g_module, kGainPage);
  return FAILED(streaming) ? streaming : FAILED(inPlace) ? inPlace : page;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  unregisterClass(kStreamingHalfGain);
  unregisterClass(kInPlaceHalfGain);
  testkit::unregisterInprocServer(kGainPage);
  return S_OK;
}
