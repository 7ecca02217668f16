// Choosing the writer for a file name by its extension.

#include "formats/extension.h"
#include "formats/formats.h"
#include "formats/wav_codec_file.h"
#include "formats/wave_format.h"

namespace {

// A sink that cannot be made: status 1, writes ignored.
class FailedSink final : public SampleSink {
 public:
  FailedSink(int32_t sampleRate, int channels) : SampleSink(sampleRate, channels) { setStatus(SourceStatus::CannotCreate); }
  void write(const Sample*, int32_t) override {}

 protected:
  void commit() override {}
};

int widthForBits(int bits) {
  if (bits <= 8) return 1;
  if (bits <= 16) return 2;
  if (bits <= 24) return 3;
  return 4;
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
  const std::string extension = lowerExtension(path);
  if (extension == ".wav") return makeWaveSink(path, sampleRate, channels, context);
  if (extension == ".au") return makeAuSink(path, sampleRate, channels);
  if (extension == ".aif" || extension == ".aiff") return makeAiffSink(path, sampleRate, channels);
  if (extension == ".gsm") return makeGsmSink(path);
  if (extension == ".vox") return makeRawSink(path, sampleRate, channels, readRawFormat(context.settings, "VoxAudio"));
  if (extension == ".raw") return makeRawSink(path, sampleRate, channels, readRawFormat(context.settings, "RawAudio"));
  // The encoders (MP3, Ogg Vorbis, FLAC, AAC, AMR) and the playlists and feeds
  // come with the encoder components; until then those saves fail cleanly.
  return makeRef<FailedSink>(sampleRate, channels);
}
