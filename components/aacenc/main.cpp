// aacenc -C CHANNELS -R RATE (-b KBPS | -q QUALITY) [--mpeg-vers 2]
//        [--no-tns] -X - -o OUTPUT
// Encodes raw 16-bit little-endian samples from standard input as AAC-LC:
// an ADTS stream, or an MP4 audio file when OUTPUT ends in ".m4a".
#include "aac_encoding.h"
#include "binary_stdio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

std::optional<int> number(const char* text, int low, int high) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<components::AacSettings> parse(int argc, char** argv) {
  components::AacSettings settings;
  bool fromStandardInput = false;
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    std::optional<int> parsed;
    if (std::strcmp(option, "-X") == 0) continue;  // raw input: the only kind read
    if (std::strcmp(option, "--no-tns") == 0) {
      settings.temporalNoiseShaping = false;
    } else if (std::strcmp(option, "-") == 0) {
      fromStandardInput = true;
    } else if (!value) {
      return std::nullopt;
    } else if (std::strcmp(option, "-o") == 0) {
      settings.outputPath = argv[++i];
    } else if (std::strcmp(option, "-C") == 0 && (parsed = number(value, 1, 8))) {
      settings.channels = *parsed, ++i;
    } else if (std::strcmp(option, "-R") == 0 && (parsed = number(value, 1, 192000))) {
      settings.sampleRate = *parsed, ++i;
    } else if (std::strcmp(option, "-b") == 0 && (parsed = number(value, 1, 2048))) {
      settings.averageKbps = *parsed, ++i;
    } else if (std::strcmp(option, "-q") == 0 && (parsed = number(value, 1, 1000))) {
      settings.quality = *parsed, ++i;
    } else if (std::strcmp(option, "--mpeg-vers") == 0 && (parsed = number(value, 2, 4)) &&
               *parsed != 3) {
      settings.mpeg2 = *parsed == 2, ++i;
    } else {
      return std::nullopt;
    }
  }
  if (!fromStandardInput || settings.channels == 0 || settings.sampleRate == 0 ||
      settings.outputPath.empty())
    return std::nullopt;
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<components::AacSettings> settings = parse(argc, argv);
  if (!settings) {
    std::fprintf(stderr,
                 "usage: aacenc -C CHANNELS -R RATE (-b KBPS | -q QUALITY) [--mpeg-vers 2] "
                 "[--no-tns] -X - -o OUTPUT\n");
    return 1;
  }
  components::setBinaryStdio();
  return components::encodeAac(*settings);
}
