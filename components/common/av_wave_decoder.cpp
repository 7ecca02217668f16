#include "av_wave_decoder.h"

#include "av_owners.h"
#include "wave_file_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace components {
namespace {

constexpr int kDamaged = 1;
constexpr int kCannotWrite = 2;

int16_t fromFloat(double value) {
  const double scaled = std::lround(value * 32768.0);
  return static_cast<int16_t>(std::fmax(-32768.0, std::fmin(32767.0, scaled)));
}

// Interleaves one decoded frame as 16-bit samples; false for a sample
// format that none of our decoders produce.
bool toInterleaved16(const AVFrame& frame, int channels, std::vector<int16_t>& out) {
  const int frames = frame.nb_samples;
  out.resize(static_cast<size_t>(frames) * channels);
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const bool planar = av_sample_fmt_is_planar(format);
  for (int c = 0; c < channels; ++c) {
    for (int i = 0; i < frames; ++i) {
      const uint8_t* plane = frame.extended_data[planar ? c : 0];
      const int index = planar ? i : i * channels + c;
      int16_t value;
      switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16: value = reinterpret_cast<const int16_t*>(plane)[index]; break;
        case AV_SAMPLE_FMT_S32:
          value = static_cast<int16_t>(reinterpret_cast<const int32_t*>(plane)[index] >> 16);
          break;
        case AV_SAMPLE_FMT_FLT: value = fromFloat(reinterpret_cast<const float*>(plane)[index]); break;
        case AV_SAMPLE_FMT_DBL: value = fromFloat(reinterpret_cast<const double*>(plane)[index]); break;
        default: return false;
      }
      out[static_cast<size_t>(i) * channels + c] = value;
    }
  }
  return true;
}

class Decoding {
public:
  Decoding(AVCodecContext& codec, const std::string& outputPath)
      : m_codec(codec), m_outputPath(outputPath), m_frame(av_frame_alloc()) {}

  // Sends one packet (nullptr drains the decoder) and writes what comes out.
  int feed(const AVPacket* packet) {
    const int sent = avcodec_send_packet(&m_codec, packet);
    if (sent < 0 && sent != AVERROR_EOF) return kDamaged;
    for (;;) {
      const int received = avcodec_receive_frame(&m_codec, m_frame.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return 0;
      if (received < 0) return kDamaged;
      if (const int status = write(*m_frame); status != 0) return status;
    }
  }

  int finish(std::optional<int64_t> expectedFrames) {
    if (m_framesWritten == 0) {
      std::fprintf(stderr, "no audio could be decoded\n");
      return kDamaged;
    }
    if (expectedFrames && m_framesWritten < *expectedFrames) {
      std::fprintf(stderr, "only %lld of %lld frames: the file is cut short\n",
                   static_cast<long long>(m_framesWritten),
                   static_cast<long long>(*expectedFrames));
      return kDamaged;
    }
    return m_wave.finish() ? 0 : kCannotWrite;
  }

private:
  int write(const AVFrame& frame) {
    const int channels = frame.ch_layout.nb_channels;
    if (m_framesWritten == 0 && !m_waveOpen) {
      if (channels < 1 || frame.sample_rate <= 0) return kDamaged;
      if (!m_wave.open(m_outputPath, frame.sample_rate, channels)) {
        std::fprintf(stderr, "cannot write %s\n", m_outputPath.c_str());
        return kCannotWrite;
      }
      m_waveOpen = true;
      m_sampleRate = frame.sample_rate;
    }
    // A stream whose layout changes midway cannot go into one WAVE file.
    if (channels != m_wave.channels() || frame.sample_rate != m_sampleRate) return kDamaged;
    if (!toInterleaved16(frame, channels, m_samples)) return kDamaged;
    if (!m_wave.write(m_samples.data(), static_cast<size_t>(frame.nb_samples))) return kCannotWrite;
    m_framesWritten += frame.nb_samples;
    return 0;
  }

  AVCodecContext& m_codec;
  std::string m_outputPath;
  Frame m_frame;
  WaveFileWriter m_wave;
  bool m_waveOpen = false;
  int m_sampleRate = 0;
  int64_t m_framesWritten = 0;
  std::vector<int16_t> m_samples;
};

// A demuxer's name lists the containers it reads, as in "mov,mp4,m4a".
bool isOneOf(std::string_view demuxerNames, std::initializer_list<std::string_view> containers) {
  while (!demuxerNames.empty()) {
    const size_t comma = demuxerNames.find(',');
    const std::string_view name = demuxerNames.substr(0, comma);
    for (const std::string_view container : containers)
      if (name == container) return true;
    if (comma == std::string_view::npos) break;
    demuxerNames.remove_prefix(comma + 1);
  }
  return false;
}

int reportDamage(int status, const std::string& inputPath) {
  if (status == kDamaged) std::fprintf(stderr, "%s is damaged or cut short\n", inputPath.c_str());
  return status;
}

}  // namespace

int decodeToWave(const std::string& inputPath, const std::string& outputPath,
                 std::initializer_list<std::string_view> containers,
                 std::optional<int64_t> expectedFrames) {
  av_log_set_level(AV_LOG_ERROR);
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, inputPath.c_str(), nullptr, nullptr) < 0) {
    std::fprintf(stderr, "cannot open %s\n", inputPath.c_str());
    return kDamaged;
  }
  FormatContext format(opened);
  // The libraries read more than one container; each decoder takes only
  // its own files.
  if (!isOneOf(format->iformat->name, containers)) {
    std::fprintf(stderr, "%s is not a file of this decoder (it looks like %s)\n",
                 inputPath.c_str(), format->iformat->name);
    return kDamaged;
  }
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return kDamaged;
  const AVCodec* decoder = nullptr;
  const int stream =
      av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream < 0 || !decoder) {
    std::fprintf(stderr, "%s holds no audio that can be decoded\n", inputPath.c_str());
    return kDamaged;
  }
  CodecContext codec(avcodec_alloc_context3(decoder));
  if (!codec ||
      avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0)
    return kDamaged;
  // Damage is a failure, not something to conceal.
  codec->err_recognition = AV_EF_EXPLODE | AV_EF_BITSTREAM | AV_EF_BUFFER;
  if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return kDamaged;

  // Where the stream says it ends, when it says so itself (a length guessed
  // from the bit rate does not count).
  const AVStream& audio = *format->streams[stream];
  const bool declaresEnd = audio.duration != AV_NOPTS_VALUE && audio.duration > 0 &&
                           format->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
  const int64_t declaredEnd =
      (audio.start_time == AV_NOPTS_VALUE ? 0 : audio.start_time) + audio.duration;
  int64_t reachedEnd = 0;
  int64_t packetDuration = 1;

  Decoding decoding(*codec, outputPath);
  Packet packet(av_packet_alloc());
  for (;;) {
    const int read = av_read_frame(format.get(), packet.get());
    if (read == AVERROR_EOF) break;
    // Some readers (ACT) report the end of the file as invalid data; the
    // declared length then tells an end from a cut.
    if (read < 0 && declaresEnd && format->pb && format->pb->eof_reached) break;
    if (read < 0) return reportDamage(kDamaged, inputPath);
    int status = 0;
    if (packet->stream_index == stream) {
      if (packet->pts != AV_NOPTS_VALUE)
        reachedEnd = std::max(reachedEnd, packet->pts + packet->duration);
      packetDuration = std::max<int64_t>(packet->duration, 1);
      if (packet->flags & AV_PKT_FLAG_CORRUPT) status = kDamaged;
      else status = decoding.feed(packet.get());
    }
    av_packet_unref(packet.get());
    if (status != 0) return reportDamage(status, inputPath);
  }
  if (const int status = decoding.feed(nullptr); status != 0)
    return reportDamage(status, inputPath);
  // Headers round their lengths: a shortfall of 1% (and two packets) is
  // not yet a cut.
  const int64_t tolerance = audio.duration / 100 + 2 * packetDuration;
  if (declaresEnd && reachedEnd + tolerance < declaredEnd) {
    std::fprintf(stderr, "%s is cut short\n", inputPath.c_str());
    return kDamaged;
  }
  return decoding.finish(expectedFrames);
}

}  // namespace components
