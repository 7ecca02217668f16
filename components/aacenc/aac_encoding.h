#pragma once
// Encodes 16-bit little-endian interleaved samples from standard input as
// AAC-LC with ffmpeg's own encoder.
#include <string>

namespace components {

struct AacSettings {
  int channels = 0;
  int sampleRate = 0;
  int averageKbps = 0;  // 0: quality mode
  int quality = 100;    // 100 is the usual quality; the bit rate scales with it
  bool mpeg2 = false;   // MPEG-2 AAC: no tools that only MPEG-4 has
  bool temporalNoiseShaping = true;
  std::string outputPath;
};

// The bit rate in bits a second that the settings ask for, kept within
// what the encoder can do at that rate and channel count.
long aacBitRate(const AacSettings& settings);

// Returns the process exit code: 0 done, 1 bad settings or input, 2 the
// output cannot be written (the output file is then removed).
int encodeAac(const AacSettings& settings);

}  // namespace components
