// The WAVE reader: PCM (8, 16, 24, 32 bits, and IEEE float) is read directly,
// every other format through the platform's codecs.

#include "core/silence_source.h"
#include "formats/codec_source.h"
#include "formats/formats.h"
#include "formats/pcm_source.h"
#include "formats/wave_format.h"

namespace {

SampleEncoding pcmEncoding(uint16_t bitsPerSample) {
  if (bitsPerSample <= 8) return SampleEncoding::Unsigned8;
  if (bitsPerSample <= 16) return SampleEncoding::Int16LE;
  if (bitsPerSample <= 24) return SampleEncoding::Int24LE;
  return SampleEncoding::Int32LE;
}

SampleSourceRef checked(SampleSourceRef source) {
  if (source->good()) return source;
  return makeSilenceSource(source->status());
}

}  // namespace

SampleSourceRef openWaveSource(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  WaveLayout layout;
  SourceStatus status = parseWaveLayout(*bytes, layout);
  if (status != SourceStatus::Good) return makeSilenceSource(status);
  const WaveFormat& format = layout.format;
  // A data size of 0xFFFFFFFF comes from a recording that was never closed
  // and means "to the end"; PcmSource clamps every size to the file anyway.
  uint64_t dataBytes = layout.dataBytes;
  switch (format.effectiveTag()) {
    case kWaveFormatPcm:
      if (format.bitsPerSample < 1 || format.bitsPerSample > 32) return makeSilenceSource(SourceStatus::Corrupt);
      return checked(makeRef<PcmSource>(std::move(bytes), layout.dataStart, dataBytes, format.sampleRate,
                                        format.channels, pcmEncoding(format.bitsPerSample)));
    case kWaveFormatFloat:
      if (format.bitsPerSample == 32 || format.bitsPerSample == 64)
        return checked(makeRef<PcmSource>(
            std::move(bytes), layout.dataStart, dataBytes, format.sampleRate, format.channels,
            format.bitsPerSample == 32 ? SampleEncoding::Float32LE : SampleEncoding::Float64LE));
      return makeSilenceSource(SourceStatus::Corrupt);
    default:
      return checked(makeRef<CodecSource>(std::move(bytes), layout));
  }
}
