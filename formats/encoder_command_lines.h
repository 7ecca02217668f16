#pragma once
// The command lines of the encoder components and the sound each one is fed:
// raw 16-bit little-endian samples at the rate and channel count given here.
// Every line begins with the program's path and ends with the output path,
// both in double quotes.

#include <cstdint>
#include <string>

#include "formats/encoder_settings.h"

struct EncoderInvocation {
  std::string commandLine;
  int32_t sampleRate = 0;  // of the samples piped in
  int channels = 0;
};

// The rate the MP3 encoder is given for an input rate and the two bit rates
// that bound its output (CBR: both the CBR rate).
int32_t mp3EncodingRate(int32_t inputRate, int highKbps, int lowKbps);

EncoderInvocation mp3Invocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const Mp3EncoderSettings& settings);
EncoderInvocation oggInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const OggEncoderSettings& settings);
EncoderInvocation flacInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                 int channels, const FlacEncoderSettings& settings);
EncoderInvocation aacInvocation(const std::string& program, const std::string& output, int32_t sampleRate,
                                int channels, const AacEncoderSettings& settings);
// AMR-NB is narrow-band speech: 8,000 Hz, one channel, whatever the input.
EncoderInvocation amrInvocation(const std::string& program, const std::string& output,
                                const AmrEncoderSettings& settings);
