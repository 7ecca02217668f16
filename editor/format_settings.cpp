#include "editor/format_settings.h"

#include <algorithm>

#include "editor/windows_file_ui.h"
#include "formats/encoder_settings.h"
#include "formats/formats.h"
#include "formats/playlist_texts.h"
#include "ui/encoder_settings_dialogs.h"
#include "ui/wave_format_chooser.h"


bool hasFormatSettings(const std::string& e) {
  return e == ".wav" || e == ".mp3" || e == ".ogg" || e == ".flac" || e == ".aac" || e == ".m4a" || e == ".amr" ||
         e == ".vox" || e == ".raw" || isPlaylistExtension(e);
}

bool showFormatSettings(HWND owner, const FormatSettingsRequest& request, sys::SettingsStore& settings,
                        const std::string& dataFolder) {
  const std::string& e = request.extension;
  if (e == ".wav") return ui::chooseWaveFormat(owner, request.channels, request.sampleRate, dataFolder);
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
