// Command lines of the encoder components.

#include "formats/encoder_command_lines.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string format(const char* pattern, int a, int b = 0, int c = 0) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

// The highest bit rate the encoders are given for a channel count and rate:
// 4.5 kbps per channel for every 1,000 samples a second, rounded down.
int bitRateCap(int channels, int32_t sampleRate) {
  return static_cast<int>(static_cast<int64_t>(channels) * sampleRate * 45 / 10000);
}

}  // namespace

int32_t mp3EncodingRate(int32_t inputRate, int highKbps, int lowKbps) {
  // High bit rates exist only at the MPEG-1 rates.
  if (highKbps > 160 && inputRate < 32000) return 44100;
  int32_t rate = std::min(inputRate, 48000);
  if (lowKbps < 32 && rate > 22050) rate = 22050;
  // Onto the nearest rate the encoder takes, upwards between the steps.
  if (rate > 44100 && rate < 48000) return 44100;
  if (rate > 32000 && rate < 44100) return 44100;
  if (rate > 24000 && rate < 32000) return 32000;
  if (rate > 22050 && rate < 24000) return 22050;
  if (rate > 16000 && rate < 22050) return 22050;
  if (rate > 11025 && rate < 16000) return 11025;
  if (rate > 8000 && rate < 11025) return 11025;
  if (rate < 8000) return 8000;
  return rate;
}

EncoderInvocation mp3Invocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const Mp3EncoderSettings& settings) {
  const bool cbr = settings.constantBitRate;
  const int high = cbr ? settings.cbrBitRate : settings.vbrMaxBitRate;
  const int low = cbr ? settings.cbrBitRate : settings.vbrMinBitRate;
  EncoderInvocation result;
  result.sampleRate = mp3EncodingRate(sampleRate, high, low);
  result.channels = low < 24 ? 1 : std::clamp(channels, 1, 2);
  int mode = settings.channelMode > 3 || settings.channelMode < 0 ? 1 : settings.channelMode;
  if (high < 24 || result.channels == 1) mode = 3;
  std::string line = quoted(program);
  if (mode == 3 && result.channels == 2) line += " -a";
  line += std::string(" -m ") + "sjfm"[mode];
  if (settings.errorProtection) line += " -p";
  if (cbr) {
    line += format(" -b %d", settings.cbrBitRate);
    if (settings.highQuality) line += " -h";
  } else {
    line += format(" -v -b %d -B %d -V %d", settings.vbrMinBitRate, settings.vbrMaxBitRate, settings.vbrQuality);
  }
  // Our samples are little-endian whatever the machine: say so rather than
  // rely on the encoder's guess of the host's order.
  line += format(" -r --signed --little-endian -s %d.%.3d -S - ", result.sampleRate / 1000, result.sampleRate % 1000);
  result.commandLine = line + quoted(output);
  return result;
}

EncoderInvocation oggInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const OggEncoderSettings& settings) {
  EncoderInvocation result{"", sampleRate, channels};
  const int wanted = std::clamp(settings.channels, 1, 2);
  std::string line = quoted(program) + format(" -C %d -R %d", channels, sampleRate);
  if (channels == 2 && wanted == 1) line += " --downmix";
  if (settings.qualityMode) {
    line += format(" -q %d", settings.vbrQuality);
  } else {
    const int maximum = std::min(settings.vbrMaxBitRate, bitRateCap(std::min(channels, wanted), sampleRate));
    line += format(" -m %d -M %d", std::min(settings.vbrMinBitRate, maximum), maximum);
  }
  if (settings.stripComments) line += " --discard-comments";
  result.commandLine = line + " -Q - -o " + quoted(output);
  return result;
}

EncoderInvocation flacInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                 int channels, const FlacEncoderSettings& settings) {
  (void)channels;
  EncoderInvocation result;
  result.channels = std::clamp(settings.channels, 1, 2);
  result.sampleRate = settings.sampleRate > 0 ? settings.sampleRate : sampleRate;
  result.commandLine = quoted(program) + format(" --channels=%d", result.channels) +
                       format(" --sample-rate=%d", result.sampleRate) +
                       format(" --compression-level-%d", std::clamp(settings.compression, 0, 8)) +
                       " --endian=little --bps=16 --sign=signed -f - -o " + quoted(output);
  return result;
}

EncoderInvocation aacInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const AacEncoderSettings& settings) {
  EncoderInvocation result{"", sampleRate, channels};
  std::string line = quoted(program) + format(" -C %d -R %d", channels, sampleRate);
  if (settings.averageBitRate)
    line += format(" -b %d", std::min(settings.abrBitRate, bitRateCap(channels, sampleRate)));
  else
    line += format(" -q %d", settings.vbrQuality);
  if (settings.forceMpeg2) line += " --mpeg-vers 2";
  if (settings.disableTns) line += " --no-tns";
  result.commandLine = line + " -X - -o " + quoted(output);
  return result;
}

EncoderInvocation amrInvocation(const std::string& program, const std::string& output,
                                const AmrEncoderSettings& settings) {
  EncoderInvocation result{"", 8000, 1};
  result.commandLine = quoted(program) + " " + amrModeWord(settings.mode) + " - " + quoted(output);
  return result;
}
