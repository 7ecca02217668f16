// The raw reader: headerless files whose layout the user (or the settings)
// gives. The stateless codecs are plain fixed-width samples; the ADPCM
// stream has a source of its own.

#include <cstdint>
#include <memory>

#include "core/silence_source.h"
#include "formats/formats.h"
#include "formats/pcm_source.h"
#include "formats/raw_adpcm_source.h"

namespace {

constexpr int32_t kMaxSampleRate = 196000;
constexpr int kMaxChannels = 255;

bool encodingOf(RawCodec codec, SampleEncoding& encoding) {
  switch (codec) {
    case RawCodec::MuLaw: encoding = SampleEncoding::MuLaw; return true;
    case RawCodec::ALaw: encoding = SampleEncoding::ALaw; return true;
    case RawCodec::Pcm16LE: encoding = SampleEncoding::Int16LE; return true;
    case RawCodec::Unsigned8: encoding = SampleEncoding::Unsigned8; return true;
    case RawCodec::Signed8: encoding = SampleEncoding::Signed8; return true;
    case RawCodec::DialogicAdpcm: break;
  }
  return false;
}

}  // namespace

SampleSourceRef openRawSource(std::unique_ptr<ByteSource> bytes, const RawFormat& format) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  // The layout may come from a dialog rather than the checked settings.
  if (format.sampleRate < 1 || format.sampleRate > kMaxSampleRate || format.channels < 1 ||
      format.channels > kMaxChannels)
    return makeSilenceSource(SourceStatus::Corrupt);

  if (format.codec == RawCodec::DialogicAdpcm)
    return makeRef<RawAdpcmSource>(std::move(bytes), format.sampleRate, format.channels);
  SampleEncoding encoding;
  if (!encodingOf(format.codec, encoding)) return makeSilenceSource(SourceStatus::Corrupt);
  const int64_t fileBytes = bytes->size();
  return makeRef<PcmSource>(std::move(bytes), 0, static_cast<uint64_t>(fileBytes > 0 ? fileBytes : 0),
                            format.sampleRate, format.channels, encoding);
}
