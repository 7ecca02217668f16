// Any bytes as a headerless file, in every raw layout. The first two bytes
// choose the channel count (0 to 255) and the rate (some of them invalid);
// the rest is the file.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

#include "formats/formats.h"
#include "fuzz/source_exercise.h"

namespace {

constexpr int32_t kRates[] = {8000, 11025, 44100, 196000, 0, 196001, -1};
constexpr RawCodec kCodecs[] = {RawCodec::DialogicAdpcm, RawCodec::MuLaw,     RawCodec::ALaw,
                                RawCodec::Pcm16LE,       RawCodec::Unsigned8, RawCodec::Signed8};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  RawFormat format;
  format.channels = data[0];
  format.sampleRate = kRates[data[1] % std::size(kRates)];
  const uint8_t* body = data + 2;
  const size_t bodyBytes = size - 2;

  for (RawCodec codec : kCodecs) {
    format.codec = codec;
    auto source = openRawSource(std::make_unique<MemoryByteSource>(body, bodyBytes), format);
    fuzz::SourceLimits limits;
    // Two ADPCM codes a byte; at least a byte a sample otherwise.
    const int64_t samplesPerByte = codec == RawCodec::DialogicAdpcm ? 2 : 1;
    limits.maxLength = static_cast<int64_t>(bodyBytes) * samplesPerByte / source->channels();
    if (source->good() && (format.channels < 1 || format.sampleRate < 1 || format.sampleRate > 196000))
      fuzz::brokenPromise("an invalid raw layout was accepted");
    fuzz::exerciseSource(*source, limits);
  }
  return 0;
}
