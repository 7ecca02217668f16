#pragma once
// The encoder components' settings, one record per format, each kept in a
// section of the program's settings named after it ("MP3Encoder" ...), one
// text value per field. Reads keep every field to its valid range.

#include <cstdint>
#include <string>

#include "sys/settings_store.h"

struct Mp3EncoderSettings {
  bool constantBitRate = true;
  int cbrBitRate = 128;     // kbps
  bool highQuality = true;
  int vbrMinBitRate = 32;   // kbps
  int vbrMaxBitRate = 128;  // kbps
  int vbrQuality = 4;       // 0 best .. 9
  bool errorProtection = false;
  int channelMode = 1;      // 0 stereo, 1 joint stereo, 2 forced stereo, 3 mono
};

struct OggEncoderSettings {
  bool qualityMode = true;  // false: bit-rate mode
  int vbrQuality = 4;       // 0 .. 10
  int vbrMinBitRate = 96;   // kbps
  int vbrMaxBitRate = 128;  // kbps
  int channels = 1;         // 1 or 2
  bool stripComments = false;
};

struct FlacEncoderSettings {
  int compression = 4;     // 0 fastest .. 8 best
  int channels = 1;        // 1 or 2
  int32_t sampleRate = 0;  // Hz; 0 while never chosen: the sound keeps its own
};

struct AacEncoderSettings {
  bool averageBitRate = false;  // false: quality mode
  int abrBitRate = 128;         // kbps
  int vbrQuality = 100;
  bool forceMpeg2 = false;
  bool disableTns = false;
};

struct AmrEncoderSettings {
  int mode = 4;  // index into the AMR modes, 4 = 7.4 kbps
};

struct RssEncodeSettings {
  std::string rootUrl;  // web folder the MP3 of a playlist or feed is published under
};

// The section names.
constexpr const char* kMp3EncoderSection = "MP3Encoder";
constexpr const char* kOggEncoderSection = "OggEncoder";
constexpr const char* kFlacEncoderSection = "FlacEncoder";
constexpr const char* kAacEncoderSection = "AACEncoder";
constexpr const char* kAmrEncoderSection = "AMREncoder";
constexpr const char* kRssEncodeSection = "RSSEncode";

// A null store reads as the defaults.
Mp3EncoderSettings readMp3EncoderSettings(const sys::SettingsStore* settings);
OggEncoderSettings readOggEncoderSettings(const sys::SettingsStore* settings);
FlacEncoderSettings readFlacEncoderSettings(const sys::SettingsStore* settings);
AacEncoderSettings readAacEncoderSettings(const sys::SettingsStore* settings);
AmrEncoderSettings readAmrEncoderSettings(const sys::SettingsStore* settings);
RssEncodeSettings readRssEncodeSettings(const sys::SettingsStore* settings);

void writeMp3EncoderSettings(sys::SettingsStore& settings, const Mp3EncoderSettings& values);
void writeOggEncoderSettings(sys::SettingsStore& settings, const OggEncoderSettings& values);
void writeFlacEncoderSettings(sys::SettingsStore& settings, const FlacEncoderSettings& values);
void writeAacEncoderSettings(sys::SettingsStore& settings, const AacEncoderSettings& values);
void writeAmrEncoderSettings(sys::SettingsStore& settings, const AmrEncoderSettings& values);
void writeRssEncodeSettings(sys::SettingsStore& settings, const RssEncodeSettings& values);

// The AMR modes: what the dialog lists and the word the encoder takes.
constexpr int kAmrModeCount = 8;
const char* amrModeText(int mode);  // "4.75" .. "12.2"
const char* amrModeWord(int mode);  // "MR475" .. "MR122"
