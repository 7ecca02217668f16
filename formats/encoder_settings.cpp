// Reading and writing the encoder settings records.

#include "formats/encoder_settings.h"

#include <algorithm>

namespace {

// The largest bit rate any of the encoders takes, in kbps.
constexpr long long kMaxKbps = 320;
constexpr long long kMaxFlacRate = 655350;

long long number(const sys::SettingsStore* settings, const char* section, const char* name, long long fallback) {
  return settings ? settings->readNumber(section, name, fallback) : fallback;
}
int clamped(const sys::SettingsStore* settings, const char* section, const char* name, long long fallback,
            long long low, long long high) {
  return static_cast<int>(std::clamp(number(settings, section, name, fallback), low, high));
}
bool switchOn(const sys::SettingsStore* settings, const char* section, const char* name, bool fallback) {
  return number(settings, section, name, fallback ? 1 : 0) != 0;
}

constexpr const char* kAmrTexts[kAmrModeCount] = {"4.75", "5.15", "5.9", "6.7", "7.4", "7.95", "10.2", "12.2"};
constexpr const char* kAmrWords[kAmrModeCount] = {"MR475", "MR515", "MR59",  "MR67",
                                                  "MR74",  "MR795", "MR102", "MR122"};

}  // namespace

Mp3EncoderSettings readMp3EncoderSettings(const sys::SettingsStore* settings) {
  const char* s = kMp3EncoderSection;
  Mp3EncoderSettings v;
  v.constantBitRate = switchOn(settings, s, "ConstantBitRate", v.constantBitRate);
  v.cbrBitRate = clamped(settings, s, "CBRBitRate", v.cbrBitRate, 8, kMaxKbps);
  v.highQuality = switchOn(settings, s, "HighQuality", v.highQuality);
  v.vbrMinBitRate = clamped(settings, s, "VBRMinBitRate", v.vbrMinBitRate, 8, kMaxKbps);
  v.vbrMaxBitRate = clamped(settings, s, "VBRMaxBitRate", v.vbrMaxBitRate, 8, kMaxKbps);
  // The encoder's high rates need a minimum of 32 kbps.
  if (v.vbrMaxBitRate > 160) v.vbrMinBitRate = std::max(v.vbrMinBitRate, 32);
  v.vbrQuality = clamped(settings, s, "VBRQuality", v.vbrQuality, 0, 9);
  v.errorProtection = switchOn(settings, s, "ErrorProtection", v.errorProtection);
  long long mode = number(settings, s, "ChannelMode", v.channelMode);
  v.channelMode = mode < 0 || mode > 3 ? 1 : static_cast<int>(mode);
  return v;
}

OggEncoderSettings readOggEncoderSettings(const sys::SettingsStore* settings) {
  const char* s = kOggEncoderSection;
  OggEncoderSettings v;
  v.qualityMode = switchOn(settings, s, "Quality", v.qualityMode);
  v.vbrQuality = clamped(settings, s, "VBRQuality", v.vbrQuality, 0, 10);
  v.vbrMinBitRate = clamped(settings, s, "VBRMinBitRate", v.vbrMinBitRate, 8, 500);
  v.vbrMaxBitRate = clamped(settings, s, "VBRMaxBitRate", v.vbrMaxBitRate, 8, 500);
  v.channels = clamped(settings, s, "Channels", v.channels, 1, 2);
  v.stripComments = switchOn(settings, s, "StripComments", v.stripComments);
  return v;
}

FlacEncoderSettings readFlacEncoderSettings(const sys::SettingsStore* settings) {
  const char* s = kFlacEncoderSection;
  FlacEncoderSettings v;
  v.compression = clamped(settings, s, "Compression", v.compression, 0, 8);
  v.channels = clamped(settings, s, "Channels", v.channels, 1, 2);
  // Missing: the sound keeps its rate. A stored 0 was entered, and reads as 44,100.
  long long rate = number(settings, s, "SampleRate", -1);
  if (rate == 0) rate = 44100;
  v.sampleRate = rate < 0 ? 0 : static_cast<int32_t>(std::clamp(rate, 1LL, kMaxFlacRate));
  return v;
}

AacEncoderSettings readAacEncoderSettings(const sys::SettingsStore* settings) {
  const char* s = kAacEncoderSection;
  AacEncoderSettings v;
  v.averageBitRate = switchOn(settings, s, "AverageBitRate", v.averageBitRate);
  v.abrBitRate = clamped(settings, s, "ABRBitRate", v.abrBitRate, 8, kMaxKbps);
  long long quality = number(settings, s, "VBRQuality", v.vbrQuality);
  v.vbrQuality = quality == 0 ? 100 : static_cast<int>(std::clamp(quality, 10LL, 500LL));
  v.forceMpeg2 = switchOn(settings, s, "ForceMPEG2", v.forceMpeg2);
  v.disableTns = switchOn(settings, s, "DisableTNS", v.disableTns);
  return v;
}

AmrEncoderSettings readAmrEncoderSettings(const sys::SettingsStore* settings) {
  AmrEncoderSettings v;
  long long mode = number(settings, kAmrEncoderSection, "ModeRateSelection", v.mode);
  if (mode >= 0 && mode < kAmrModeCount) v.mode = static_cast<int>(mode);
  return v;
}

RssEncodeSettings readRssEncodeSettings(const sys::SettingsStore* settings) {
  RssEncodeSettings v;
  if (settings) v.rootUrl = settings->read(kRssEncodeSection, "RootURL", "");
  return v;
}

void writeMp3EncoderSettings(sys::SettingsStore& settings, const Mp3EncoderSettings& v) {
  const char* s = kMp3EncoderSection;
  settings.writeNumber(s, "ConstantBitRate", v.constantBitRate);
  settings.writeNumber(s, "CBRBitRate", v.cbrBitRate);
  settings.writeNumber(s, "HighQuality", v.highQuality);
  settings.writeNumber(s, "VBRMinBitRate", v.vbrMinBitRate);
  settings.writeNumber(s, "VBRMaxBitRate", v.vbrMaxBitRate);
  settings.writeNumber(s, "VBRQuality", v.vbrQuality);
  settings.writeNumber(s, "ErrorProtection", v.errorProtection);
  settings.writeNumber(s, "ChannelMode", v.channelMode);
}

void writeOggEncoderSettings(sys::SettingsStore& settings, const OggEncoderSettings& v) {
  const char* s = kOggEncoderSection;
  settings.writeNumber(s, "Quality", v.qualityMode);
  settings.writeNumber(s, "VBRQuality", v.vbrQuality);
  settings.writeNumber(s, "VBRMinBitRate", v.vbrMinBitRate);
  settings.writeNumber(s, "VBRMaxBitRate", v.vbrMaxBitRate);
  settings.writeNumber(s, "Channels", v.channels);
  settings.writeNumber(s, "StripComments", v.stripComments);
}

void writeFlacEncoderSettings(sys::SettingsStore& settings, const FlacEncoderSettings& v) {
  const char* s = kFlacEncoderSection;
  settings.writeNumber(s, "Compression", v.compression);
  settings.writeNumber(s, "Channels", v.channels);
  if (v.sampleRate > 0) settings.writeNumber(s, "SampleRate", v.sampleRate);
}

void writeAacEncoderSettings(sys::SettingsStore& settings, const AacEncoderSettings& v) {
  const char* s = kAacEncoderSection;
  settings.writeNumber(s, "AverageBitRate", v.averageBitRate);
  settings.writeNumber(s, "ABRBitRate", v.abrBitRate);
  settings.writeNumber(s, "VBRQuality", v.vbrQuality);
  settings.writeNumber(s, "ForceMPEG2", v.forceMpeg2);
  settings.writeNumber(s, "DisableTNS", v.disableTns);
}

void writeAmrEncoderSettings(sys::SettingsStore& settings, const AmrEncoderSettings& v) {
  settings.writeNumber(kAmrEncoderSection, "ModeRateSelection", v.mode);
}

void writeRssEncodeSettings(sys::SettingsStore& settings, const RssEncodeSettings& v) {
  settings.write(kRssEncodeSection, "RootURL", v.rootUrl);
}

const char* amrModeText(int mode) { return kAmrTexts[std::clamp(mode, 0, kAmrModeCount - 1)]; }
const char* amrModeWord(int mode) { return kAmrWords[std::clamp(mode, 0, kAmrModeCount - 1)]; }
