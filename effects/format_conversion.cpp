// Convert Sample Rate, Convert Channels and the conversion of a sound that is
// pasted, inserted or mixed into a document of another format.

#include "effects/resample_source.h"
#include "effects/speed_pitch.h"

bool convertRateAccepted(int32_t rate) { return rate >= kMinConvertRate && rate <= kMaxConvertRate; }

SampleSourceRef makeFormatConversionSource(SampleSourceRef input, int32_t rate, int channels) {
  // Fewer channels first, so that the resampler has less to do; more after.
  if (channels < input->channels()) return makeResampleSource(makeChannelConverter(std::move(input), channels), rate);
  return makeChannelConverter(makeResampleSource(std::move(input), rate), channels);
}

JobResult convertSound(const SoundBuffer& in, int32_t rate, int channels, SoundBuffer& out,
                       ProgressCallback* progress) {
  if (rate <= 0 || !channelConversionSupported(in.channels(), channels)) return JobResult::Failed;
  if (rate == in.sampleRate() && channels == in.channels()) {
    out = in;
    return JobResult::Done;
  }
  const int64_t length = resampling::convertedLength(in.totalFrames(), in.sampleRate(), rate);
  if (length > kMaxFrames) return JobResult::Failed;
  SampleSourceRef chain = makeFormatConversionSource(in.openReader(), rate, channels);
  if (!chain->good() || chain->channels() != channels || chain->sampleRate() != rate) return JobResult::Failed;

  // The converted buffer must outlive its writer: declared first, destroyed last.
  SoundBuffer converted(rate, channels);
  if (length > 0) {
    SampleSinkRef writer = converted.openWriter(rate, channels);
    if (!writer->good()) return JobResult::Failed;
    const JobResult result = copySourceToSink(*chain, *writer, length, progress);
    if (result != JobResult::Done) return result;
    if (writer->close() != SourceStatus::Good) return JobResult::Failed;
  }
  if (converted.totalFrames() != length) return JobResult::Failed;
  out = std::move(converted);
  return JobResult::Done;
}

JobResult convertSampleRate(SoundBuffer& sound, int32_t rate, ProgressCallback* progress) {
  if (rate == sound.sampleRate()) return JobResult::Done;
  SoundBuffer converted;
  const JobResult result = convertSound(sound, rate, sound.channels(), converted, progress);
  if (result == JobResult::Done) sound = std::move(converted);
  return result;
}

JobResult convertChannels(SoundBuffer& sound, int channels, ProgressCallback* progress) {
  if (channels == sound.channels()) return JobResult::Done;
  SoundBuffer converted;
  const JobResult result = convertSound(sound, sound.sampleRate(), channels, converted, progress);
  if (result == JobResult::Done) sound = std::move(converted);
  return result;
}
