#include "ui/wave_format_chooser.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/byte_source.h"
#include "formats/wav_codec_file.h"
#include "formats/wave_format.h"

namespace ui {

bool chooseWaveFormat(HWND owner, int channels, int32_t sampleRate, const std::string& dataFolder) {
  std::vector<uint8_t> record = readWavCodecFile(dataFolder).value_or(
      pcmWaveRecord(channels > 0 ? channels : 2, sampleRate > 0 ? sampleRate : 44100, 16, wave_record::kFullBytes));
  WaveFormat format;
  format.loadFields(record.data());
  if (format.tag == kWaveFormatPcm && channels > 0 && format.bitsPerSample > 0)
    record = pcmWaveRecord(channels, static_cast<int32_t>(format.sampleRate), format.bitsPerSample,
                           wave_record::kFullBytes);
  DWORD largest = 0;
  acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest);
  std::vector<uint8_t> chosen(std::max<size_t>({largest, record.size(), kWavCodecFileBytes}), 0);
  std::memcpy(chosen.data(), record.data(), record.size());
  ACMFORMATCHOOSEW choose{};
  choose.cbStruct = sizeof choose;
  choose.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
  choose.hwndOwner = owner;
  choose.pwfx = reinterpret_cast<WAVEFORMATEX*>(chosen.data());
  choose.cbwfx = static_cast<DWORD>(chosen.size());
  choose.pszTitle = L"Select Wave File Format";
  if (acmFormatChooseW(&choose) != MMSYSERR_NOERROR) return false;
  const uint16_t extra = chosen[0] == kWaveFormatPcm && chosen[1] == 0 ? 0 : le16(chosen.data() + wave_record::kExtraBytes);
  const size_t bytes = std::min(chosen.size(), wave_record::kFullBytes + extra);
  std::vector<uint8_t> stored(chosen.begin(), chosen.begin() + static_cast<ptrdiff_t>(bytes));
  if (stored.size() > kWavCodecFileBytes) return false;
  return writeWavCodecFile(dataFolder, stored);
}

}  // namespace ui
