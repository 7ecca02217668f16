// Decoding through DirectShow: a graph from the file's source filter to a
// sample grabber that asks for PCM (the graph puts the decoders it needs in
// between) and on to a null renderer. The grabber hands every buffer to the
// receiver on the graph's streaming thread; the graph runs without a clock,
// as fast as it can decode.

#include "sys/media_decoder.h"

#include <windows.h>
#include <dshow.h>
#include <mmreg.h>
#include <qedit.h>

#include <atomic>

#include "sys/win32/com_pointer.h"
#include "sys/win32/wide_text.h"

namespace sys {

namespace {

using win32::ComApartment;
using win32::ComPointer;

// The grabber and null renderer filters of the system's editing services.
const GUID kSampleGrabberClass = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const GUID kNullRendererClass = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

constexpr long kEventWaitMs = 20;
constexpr int64_t kMediaTimeUnitsPerSecond = 10000000;  // 100 ns

// Lives on the stack of decodeMediaFile, longer than the graph that calls it.
class BufferForwarder final : public ISampleGrabberCB {
 public:
  explicit BufferForwarder(PcmReceiver& receiver) : m_receiver(receiver) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabberCB)) {
      *object = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
  STDMETHODIMP BufferCB(double, BYTE* buffer, LONG bytes) override {
    if (m_failed || bytes <= 0) return S_OK;
    if (!m_receiver.write(buffer, static_cast<size_t>(bytes))) {
      m_failed = true;
      return E_FAIL;
    }
    m_received += bytes;
    return S_OK;
  }
  bool failed() const { return m_failed; }
  int64_t received() const { return m_received; }

 private:
  PcmReceiver& m_receiver;
  std::atomic<bool> m_failed{false};
  std::atomic<int64_t> m_received{0};
};

// Connects the first output pin of from that the graph can lead to to.
bool connectAnyOutput(IGraphBuilder* graph, IBaseFilter* from, IPin* to) {
  ComPointer<IEnumPins> pins;
  if (FAILED(from->EnumPins(pins.out()))) return false;
  ComPointer<IPin> pin;
  while (pins->Next(1, pin.out(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT &&
        SUCCEEDED(graph->Connect(pin.get(), to)))
      return true;
  }
  return false;
}

ComPointer<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  ComPointer<IPin> found;
  ComPointer<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.out()))) return found;
  ComPointer<IPin> pin;
  while (pins->Next(1, pin.out(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) {
      pin->AddRef();
      *found.out() = pin.get();
      break;
    }
  }
  return found;
}

// The layout of a connected PCM type; bits 0 when it is not integer PCM.
PcmLayout layoutOf(const AM_MEDIA_TYPE& type) {
  PcmLayout layout;
  if (type.formattype != FORMAT_WaveFormatEx || type.cbFormat < sizeof(WAVEFORMATEX) || !type.pbFormat) return layout;
  const auto* format = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
  bool pcm = format->wFormatTag == WAVE_FORMAT_PCM;
  if (format->wFormatTag == WAVE_FORMAT_EXTENSIBLE && type.cbFormat >= sizeof(WAVEFORMATEXTENSIBLE))
    // The subformat's first field is the plain format tag it stands for.
    pcm = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(format)->SubFormat.Data1 == WAVE_FORMAT_PCM;
  int bits = format->wBitsPerSample;
  if (!pcm || (bits != 8 && bits != 16 && bits != 24 && bits != 32) || format->nChannels == 0) return layout;
  layout.sampleRate = static_cast<int32_t>(format->nSamplesPerSec);
  layout.channels = format->nChannels;
  layout.bitsPerSample = bits;
  return layout;
}

void freeMediaType(AM_MEDIA_TYPE& type) {
  if (type.pbFormat) CoTaskMemFree(type.pbFormat);
  if (type.pUnk) type.pUnk->Release();
  type.pbFormat = nullptr;
  type.pUnk = nullptr;
}

}  // namespace

MediaDecodeResult decodeMediaFile(const std::string& path, PcmReceiver& receiver,
                                  const std::function<bool(int64_t, int64_t)>& keepGoing) {
  ComApartment apartment;
  BufferForwarder forwarder(receiver);
  ComPointer<IGraphBuilder> graph;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.outVoid())))
    return MediaDecodeResult::CannotRender;

  ComPointer<IBaseFilter> source, grabberFilter, nullRenderer;
  ComPointer<ISampleGrabber> grabber;
  if (FAILED(graph->AddSourceFilter(win32::widen(path).c_str(), L"Source", source.out())))
    return MediaDecodeResult::CannotRender;
  if (FAILED(CoCreateInstance(kSampleGrabberClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              grabberFilter.outVoid())) ||
      FAILED(grabberFilter->QueryInterface(__uuidof(ISampleGrabber), grabber.outVoid())) ||
      FAILED(CoCreateInstance(kNullRendererClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              nullRenderer.outVoid())))
    return MediaDecodeResult::CannotRender;

  AM_MEDIA_TYPE wanted{};
  wanted.majortype = MEDIATYPE_Audio;
  wanted.subtype = MEDIASUBTYPE_PCM;
  wanted.formattype = FORMAT_WaveFormatEx;
  if (FAILED(grabber->SetMediaType(&wanted)) || FAILED(grabber->SetBufferSamples(FALSE)) ||
      FAILED(grabber->SetOneShot(FALSE)) || FAILED(graph->AddFilter(grabberFilter.get(), L"SampleGrabber")) ||
      FAILED(graph->AddFilter(nullRenderer.get(), L"Null Renderer")))
    return MediaDecodeResult::CannotRender;

  ComPointer<IPin> grabberInput = firstPin(grabberFilter.get(), PINDIR_INPUT);
  ComPointer<IPin> grabberOutput = firstPin(grabberFilter.get(), PINDIR_OUTPUT);
  ComPointer<IPin> rendererInput = firstPin(nullRenderer.get(), PINDIR_INPUT);
  if (!grabberInput || !grabberOutput || !rendererInput ||
      !connectAnyOutput(graph.get(), source.get(), grabberInput.get()) ||
      FAILED(graph->ConnectDirect(grabberOutput.get(), rendererInput.get(), nullptr)))
    return MediaDecodeResult::CannotRender;

  AM_MEDIA_TYPE connected{};
  if (FAILED(grabber->GetConnectedMediaType(&connected))) return MediaDecodeResult::CannotRender;
  PcmLayout layout = layoutOf(connected);
  freeMediaType(connected);
  if (layout.bitsPerSample == 0) return MediaDecodeResult::CannotRender;
  if (!receiver.begin(layout)) return MediaDecodeResult::Failed;
  if (FAILED(grabber->SetCallback(&forwarder, 1))) return MediaDecodeResult::Failed;

  // Without a reference clock the graph decodes as fast as it can.
  ComPointer<IMediaFilter> filter;
  if (SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, filter.outVoid()))) filter->SetSyncSource(nullptr);
  ComPointer<IMediaControl> control;
  ComPointer<IMediaEvent> events;
  ComPointer<IMediaSeeking> seeking;
  if (FAILED(graph->QueryInterface(IID_IMediaControl, control.outVoid())) ||
      FAILED(graph->QueryInterface(IID_IMediaEvent, events.outVoid())))
    return MediaDecodeResult::Failed;
  graph->QueryInterface(IID_IMediaSeeking, seeking.outVoid());
  LONGLONG duration = 0;
  if (seeking) seeking->GetDuration(&duration);
  const int64_t bytesPerSecond = static_cast<int64_t>(layout.sampleRate) * layout.channels * layout.bitsPerSample / 8;

  MediaDecodeResult result = MediaDecodeResult::Done;
  if (FAILED(control->Run())) {
    result = MediaDecodeResult::Failed;
  } else {
    for (;;) {
      long code = 0;
      HRESULT waited = events->WaitForCompletion(kEventWaitMs, &code);
      if (waited == S_OK) {
        if (code != EC_COMPLETE) result = MediaDecodeResult::Failed;
        break;
      }
      if (waited != VFW_E_WRONG_STATE && waited != E_ABORT) {
        result = MediaDecodeResult::Failed;
        break;
      }
      if (forwarder.failed()) {
        result = MediaDecodeResult::Failed;
        break;
      }
      int64_t done = bytesPerSecond > 0 ? forwarder.received() * kMediaTimeUnitsPerSecond / bytesPerSecond : 0;
      if (!keepGoing(done, duration)) {
        result = MediaDecodeResult::Cancelled;
        break;
      }
    }
    control->Stop();
  }
  grabber->SetCallback(nullptr, 1);
  if (result == MediaDecodeResult::Done && forwarder.failed()) result = MediaDecodeResult::Failed;
  return result;
}

}  // namespace sys
