// Choosing the writer for a file name by its extension.

#include "formats/encoder_sinks.h"
#include "formats/extension.h"
#include "formats/failed_sink.h"
#include "formats/formats.h"
#include "formats/playlist_texts.h"
#include "formats/wav_codec_file.h"
#include "formats/wave_format.h"

namespace {

int widthForBits(int bits) {
  if (bits <= 8) return 1;
  if (bits <= 16) return 2;
  if (bits <= 24) return 3;
  return 4;
}

// The PCM width of the WAVE file at path, or 0 when it is not one.
int pcmWidthOfWaveFile(const std::string& path) {
  auto bytes = openFileBytes(path);
  WaveLayout layout;
  if (!bytes || parseWaveLayout(*bytes, layout) != SourceStatus::Good) return 0;
  if (layout.format.effectiveTag() != kWaveFormatPcm || layout.format.bitsPerSample == 0) return 0;
  return widthForBits(layout.format.bitsPerSample);
}

SampleSinkRef makeWaveSink(const std::string& path, int32_t sampleRate, int channels, const FormatContext& context) {
  auto record = readWavCodecFile(context.dataFolder);
  if (!record) return makeWavePcmSink(path, sampleRate, channels, 2);
  WaveFormat format;
  format.loadFields(record->data());
  if (format.tag == kWaveFormatPcm) return makeWavePcmSink(path, sampleRate, channels, widthForBits(format.bitsPerSample));
  return makeWaveCodecSink(path, *record);
}

}  // namespace

SampleSinkRef createSoundFileSink(const std::string& path, int32_t sampleRate, int channels,
                                  const FormatContext& context) {
  SinkRequest request;
  request.path = path;
  return createSoundFileSink(request, sampleRate, channels, context);
}

SampleSinkRef createSoundFileSink(const SinkRequest& request, int32_t sampleRate, int channels,
                                  const FormatContext& context) {
  const std::string extension = lowerExtension(request.path);
  const std::string& path = request.outputPath.empty() ? request.path : request.outputPath;
  if (extension == ".wav") {
    // A 24-bit recording saved again stays 24-bit.
    const int keptWidth = request.keepWidthOf.empty() ? 0 : pcmWidthOfWaveFile(request.keepWidthOf);
    if (keptWidth > 0) return makeWavePcmSink(path, sampleRate, channels, keptWidth);
    return makeWaveSink(path, sampleRate, channels, context);
  }
  if (extension == ".au") return makeAuSink(path, sampleRate, channels);
  if (extension == ".aif" || extension == ".aiff") return makeAiffSink(path, sampleRate, channels);
  if (extension == ".gsm") return makeGsmSink(path);
  if (extension == ".vox") return makeRawSink(path, sampleRate, channels, readRawFormat(context.settings, "VoxAudio"));
  if (extension == ".raw") return makeRawSink(path, sampleRate, channels, readRawFormat(context.settings, "RawAudio"));
  if (isPlaylistExtension(extension)) return makePlaylistSink(request, extension, sampleRate, channels, context);
  if (!encoderComponentFor(extension).empty())
    return makeEncoderSink(request, extension, sampleRate, channels, context);
  return makeRef<FailedSink>(sampleRate, channels);
}
