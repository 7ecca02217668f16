// The system's wave-input device: waveIn with an event callback and one
// wave header per buffer of the capture ring.

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <vector>

#include "devices/wave_in_device.h"
#include "devices/win32/wave_device_common.h"
#include "sys/threads.h"
#include "sys/win32/wide_text.h"

namespace {

using wave_device::deviceIdOf;
using wave_device::statusOf;
using wave_device::waveFormatOf;

class SystemWaveInDevice final : public WaveInDevice {
 public:
  ~SystemWaveInDevice() override {
    if (!m_handle) return;
    waveInReset(m_handle);
    for (size_t i = 0; i < m_headers.size(); ++i) {
      if (m_headers[i]) unprepareBuffer(static_cast<int>(i));
    }
    close();
  }

  DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped, sys::Event& bufferDone) override {
    if (m_handle) close();
    WAVEFORMATEX wave = waveFormatOf(format);
    DWORD flags = CALLBACK_EVENT | (mapped ? WAVE_MAPPED : 0);
    HWAVEIN handle = nullptr;
    MMRESULT result = waveInOpen(&handle, deviceIdOf(deviceNumber), &wave,
                                 reinterpret_cast<DWORD_PTR>(bufferDone.nativeHandle()), 0, flags);
    if (result != MMSYSERR_NOERROR) return statusOf(result);
    m_handle = handle;
    return DeviceStatus::Ok;
  }

  bool prepareBuffer(int index, uint8_t* data, uint32_t capacityBytes) override {
    if (!m_handle || index < 0 || !data) return false;
    if (static_cast<size_t>(index) >= m_headers.size()) m_headers.resize(static_cast<size_t>(index) + 1);
    auto header = std::make_unique<WAVEHDR>();
    header->lpData = reinterpret_cast<LPSTR>(data);
    header->dwBufferLength = capacityBytes;
    if (waveInPrepareHeader(m_handle, header.get(), sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    m_headers[index] = std::move(header);
    return true;
  }

  bool addBuffer(int index) override {
    WAVEHDR* header = headerAt(index);
    if (!header) return false;
    header->dwBytesRecorded = 0;
    header->dwFlags = flagsOf(*header) & WHDR_PREPARED;
    return waveInAddBuffer(m_handle, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }

  bool bufferDone(int index) const override {
    WAVEHDR* header = headerAt(index);
    return header && (flagsOf(*header) & WHDR_DONE) != 0;
  }

  uint32_t recordedBytes(int index) const override {
    WAVEHDR* header = headerAt(index);
    return header ? header->dwBytesRecorded : 0;
  }

  void clearBuffer(int index) override {
    if (WAVEHDR* header = headerAt(index)) header->dwFlags = flagsOf(*header) & WHDR_PREPARED;
  }

  void start() override {
    if (m_handle) waveInStart(m_handle);
  }
  void stop() override {
    if (m_handle) waveInStop(m_handle);
  }
  void reset() override {
    if (m_handle) waveInReset(m_handle);
  }

  UnprepareResult unprepareBuffer(int index) override {
    WAVEHDR* header = headerAt(index);
    if (!header) return UnprepareResult::Failed;
    MMRESULT result = waveInUnprepareHeader(m_handle, header, sizeof(WAVEHDR));
    if (result == WAVERR_STILLPLAYING) return UnprepareResult::StillPlaying;
    m_headers[index].reset();
    return result == MMSYSERR_NOERROR ? UnprepareResult::Done : UnprepareResult::Failed;
  }

  void close() override {
    if (!m_handle) return;
    waveInClose(m_handle);
    m_handle = nullptr;
    m_headers.clear();
  }

  bool isOpen() const override { return m_handle != nullptr; }

  std::vector<std::string> deviceNames() const override {
    std::vector<std::string> names{kDefaultSoundInName};
    UINT count = waveInGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
      WAVEINCAPSW caps{};
      bool known = waveInGetDevCapsW(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR;
      names.push_back(known ? sys::win32::narrow(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN)) : std::string());
    }
    return names;
  }

 private:
  // The driver sets the done flag from its own thread.
  static DWORD flagsOf(WAVEHDR& header) { return std::atomic_ref<DWORD>(header.dwFlags).load(); }

  WAVEHDR* headerAt(int index) const {
    if (!m_handle || index < 0 || static_cast<size_t>(index) >= m_headers.size()) return nullptr;
    return m_headers[index].get();
  }

  HWAVEIN m_handle = nullptr;
  // Each header stays at its address from prepare to unprepare.
  std::vector<std::unique_ptr<WAVEHDR>> m_headers;
};

}  // namespace

std::unique_ptr<WaveInDevice> makeSystemWaveInDevice() { return std::make_unique<SystemWaveInDevice>(); }
