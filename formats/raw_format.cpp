// The layout of headerless files as the settings keep it: one section per
// use ("RawAudio" for ".raw", "VoxAudio" for ".vox"), three decimal values.

#include <cstdint>
#include <string>

#include "formats/formats.h"

namespace {

// The rates the raw-format dialog accepts.
constexpr int64_t kMinRawRate = 6000;
constexpr int64_t kMaxRawRate = 196000;
// The editor's sounds are mono or stereo, as for the encoders' settings.
constexpr int64_t kMaxRawChannels = 2;

RawFormat defaultsFor(const std::string& section) {
  RawFormat format;
  if (section == "VoxAudio") {
    format.sampleRate = 8000;
    format.channels = 1;
    format.codec = RawCodec::DialogicAdpcm;
  } else {
    format.sampleRate = 44100;
    format.channels = 1;
    format.codec = RawCodec::Pcm16LE;
  }
  return format;
}

}  // namespace

RawFormat readRawFormat(const sys::SettingsStore* settings, const std::string& section) {
  RawFormat format = defaultsFor(section);
  if (!settings) return format;
  // Each value out of range falls back to its own default alone.
  const long long rate = settings->readNumber(section, "SampleRate", format.sampleRate);
  if (rate >= kMinRawRate && rate <= kMaxRawRate) format.sampleRate = static_cast<int32_t>(rate);
  const long long channels = settings->readNumber(section, "Channels", format.channels);
  if (channels >= 1 && channels <= kMaxRawChannels) format.channels = static_cast<int>(channels);
  const long long codec = settings->readNumber(section, "Codec", static_cast<int>(format.codec));
  if (codec >= static_cast<int>(RawCodec::DialogicAdpcm) && codec <= static_cast<int>(RawCodec::Signed8))
    format.codec = static_cast<RawCodec>(codec);
  return format;
}

void writeRawFormat(sys::SettingsStore& settings, const std::string& section, const RawFormat& format) {
  settings.writeNumber(section, "SampleRate", format.sampleRate);
  settings.writeNumber(section, "Channels", format.channels);
  settings.writeNumber(section, "Codec", static_cast<int>(format.codec));
}
