#include "editor/format_settings.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/dialogs/encoder_settings_dialogs.h"
#include "editor/windows_file_ui.h"
#include "formats/byte_source.h"
#include "formats/encoder_settings.h"
#include "formats/formats.h"
#include "formats/playlist_texts.h"
#include "formats/wav_codec_file.h"
#include "formats/wave_format.h"

namespace {

// The system's format chooser on the stored WAVE format; the choice is
// stored back whole.
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

}  // namespace

bool hasFormatSettings(const std::string& e) {
  return e == ".wav" || e == ".mp3" || e == ".ogg" || e == ".flac" || e == ".aac" || e == ".m4a" || e == ".amr" ||
         e == ".vox" || e == ".raw" || isPlaylistExtension(e);
}

bool showFormatSettings(HWND owner, const FormatSettingsRequest& request, sys::SettingsStore& settings,
                        const std::string& dataFolder) {
  const std::string& e = request.extension;
  if (e == ".wav") return chooseWaveFormat(owner, request.channels, request.sampleRate, dataFolder);
  if (e == ".mp3") {
    Mp3EncoderSettings values = readMp3EncoderSettings(&settings);
    if (!editMp3EncoderSettings(owner, values)) return false;
    writeMp3EncoderSettings(settings, values);
    return true;
  }
  if (e == ".ogg") {
    OggEncoderSettings values = readOggEncoderSettings(&settings);
    if (request.channels > 0) values.channels = std::clamp(request.channels, 1, 2);
    if (!editOggEncoderSettings(owner, values)) return false;
    writeOggEncoderSettings(settings, values);
    return true;
  }
  if (e == ".flac") {
    FlacEncoderSettings values = readFlacEncoderSettings(&settings);
    if (request.channels > 0) values.channels = std::clamp(request.channels, 1, 2);
    if (!editFlacEncoderSettings(owner, values, request.sampleRate)) return false;
    writeFlacEncoderSettings(settings, values);
    return true;
  }
  if (e == ".aac" || e == ".m4a") {
    AacEncoderSettings values = readAacEncoderSettings(&settings);
    if (!editAacEncoderSettings(owner, values)) return false;
    writeAacEncoderSettings(settings, values);
    return true;
  }
  if (e == ".amr") {
    AmrEncoderSettings values = readAmrEncoderSettings(&settings);
    if (!editAmrEncoderSettings(owner, values)) return false;
    writeAmrEncoderSettings(settings, values);
    return true;
  }
  if (isPlaylistExtension(e)) {
    RssEncodeSettings values = readRssEncodeSettings(&settings);
    if (!editRootUrl(owner, values, e == ".rss" ? "RSS Podcast File Settings" : "Playlist File Settings")) return false;
    writeRssEncodeSettings(settings, values);
    return true;
  }
  if (e == ".vox" || e == ".raw") {
    const std::string section = e == ".vox" ? "VoxAudio" : "RawAudio";
    RawFormat values = readRawFormat(&settings, section);
    if (!askRawFormat(owner, values)) return false;
    writeRawFormat(settings, section, values);
    return true;
  }
  return false;
}
