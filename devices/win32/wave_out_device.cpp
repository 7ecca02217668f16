// The system's wave-output device: waveOut with an event callback and one
// wave header per block of the player's ring.

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <vector>

#include "devices/wave_out_device.h"
#include "devices/win32/wave_device_common.h"
#include "sys/threads.h"
#include "sys/win32/wide_text.h"

namespace {

using wave_device::deviceIdOf;
using wave_device::statusOf;
using wave_device::waveFormatOf;

// Loops of a held block: as many as waveOut counts, ended by a reset.
constexpr DWORD kEndlessLoops = 0x7fffffff;

class SystemWaveOutDevice final : public WaveOutDevice {
 public:
  ~SystemWaveOutDevice() override {
    if (!m_handle) return;
    waveOutReset(m_handle);
    for (size_t i = 0; i < m_headers.size(); ++i) {
      if (m_headers[i]) unprepareBlock(static_cast<int>(i));
    }
    close();
  }

  DeviceStatus open(uint32_t deviceNumber, const PcmFormat& format, bool mapped, sys::Event& blockDone) override {
    if (m_handle) close();
    WAVEFORMATEX wave = waveFormatOf(format);
    DWORD flags = CALLBACK_EVENT | (mapped ? WAVE_MAPPED : 0);
    HWAVEOUT handle = nullptr;
    MMRESULT result = waveOutOpen(&handle, deviceIdOf(deviceNumber), &wave,
                                  reinterpret_cast<DWORD_PTR>(blockDone.nativeHandle()), 0, flags);
    if (result != MMSYSERR_NOERROR) return statusOf(result);
    m_handle = handle;
    m_blockAlign = format.blockAlign();
    return DeviceStatus::Ok;
  }

  bool prepareBlock(int index, uint8_t* data, uint32_t capacityBytes) override {
    if (!m_handle || index < 0 || !data) return false;
    if (static_cast<size_t>(index) >= m_headers.size()) m_headers.resize(static_cast<size_t>(index) + 1);
    auto header = std::make_unique<WAVEHDR>();
    header->lpData = reinterpret_cast<LPSTR>(data);
    header->dwBufferLength = capacityBytes;
    if (waveOutPrepareHeader(m_handle, header.get(), sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    m_capacities.resize(m_headers.size());
    m_capacities[index] = capacityBytes;
    m_headers[index] = std::move(header);
    return true;
  }

  bool writeBlock(int index, uint32_t bytes, bool loop) override {
    WAVEHDR* header = headerAt(index);
    if (!header || bytes > m_capacities[index]) return false;
    header->dwBufferLength = bytes;
    header->dwFlags = (flagsOf(*header) & WHDR_PREPARED) | (loop ? WHDR_BEGINLOOP | WHDR_ENDLOOP : 0);
    header->dwLoops = loop ? kEndlessLoops : 0;
    return waveOutWrite(m_handle, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
  }

  bool blockDone(int index) const override {
    WAVEHDR* header = headerAt(index);
    return header && (flagsOf(*header) & WHDR_DONE) != 0;
  }

  void clearBlock(int index) override {
    if (WAVEHDR* header = headerAt(index)) header->dwFlags = flagsOf(*header) & WHDR_PREPARED;
  }

  void reset() override {
    if (m_handle) waveOutReset(m_handle);
  }
  void pause() override {
    if (m_handle) waveOutPause(m_handle);
  }
  void restart() override {
    if (m_handle) waveOutRestart(m_handle);
  }

  int64_t playedFrames() const override {
    if (!m_handle) return 0;
    MMTIME time{};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(m_handle, &time, sizeof(time)) != MMSYSERR_NOERROR) return 0;
    if (time.wType == TIME_SAMPLES) return time.u.sample;
    if (time.wType == TIME_BYTES) return time.u.cb / static_cast<DWORD>(m_blockAlign);
    return 0;
  }

  UnprepareResult unprepareBlock(int index) override {
    WAVEHDR* header = headerAt(index);
    if (!header) return UnprepareResult::Failed;
    header->dwBufferLength = m_capacities[index];
    MMRESULT result = waveOutUnprepareHeader(m_handle, header, sizeof(WAVEHDR));
    if (result == WAVERR_STILLPLAYING) return UnprepareResult::StillPlaying;
    m_headers[index].reset();
    return result == MMSYSERR_NOERROR ? UnprepareResult::Done : UnprepareResult::Failed;
  }

  void close() override {
    if (!m_handle) return;
    waveOutClose(m_handle);
    m_handle = nullptr;
    m_headers.clear();
    m_capacities.clear();
  }

  bool isOpen() const override { return m_handle != nullptr; }

  bool getVolume(uint32_t deviceNumber, uint16_t& left, uint16_t& right) const override {
    DWORD volume = 0;
    if (waveOutGetVolume(target(deviceNumber), &volume) != MMSYSERR_NOERROR) return false;
    left = LOWORD(volume);
    right = HIWORD(volume);
    return true;
  }

  bool setVolume(uint32_t deviceNumber, uint16_t left, uint16_t right) override {
    return waveOutSetVolume(target(deviceNumber), MAKELONG(left, right)) == MMSYSERR_NOERROR;
  }

  std::vector<std::string> deviceNames() const override {
    std::vector<std::string> names{kDefaultSoundOutName};
    UINT count = waveOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
      WAVEOUTCAPSW caps{};
      bool known = waveOutGetDevCapsW(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR;
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
  // The open device, or a closed one by its number.
  HWAVEOUT target(uint32_t deviceNumber) const {
    return m_handle ? m_handle : reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(deviceIdOf(deviceNumber)));
  }

  HWAVEOUT m_handle = nullptr;
  int m_blockAlign = 2;
  // Each header stays at its address from prepare to unprepare.
  std::vector<std::unique_ptr<WAVEHDR>> m_headers;
  std::vector<uint32_t> m_capacities;
};

}  // namespace

std::unique_ptr<WaveOutDevice> makeSystemWaveOutDevice() { return std::make_unique<SystemWaveOutDevice>(); }
