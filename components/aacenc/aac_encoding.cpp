#include "aac_encoding.h"

#include "aac_output.h"
#include "av_owners.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace components {
namespace {

constexpr long kMinBitsPerChannel = 8000;
constexpr long kQualityBitsPerChannel = 64000;  // at quality 100
constexpr long kMaxBitsPerChannel = 256000;
// An AAC frame carries at most 6,144 bits a channel for 1,024 samples.
constexpr long kFrameBitsPerChannel = 6144;

bool endsWith(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.rbegin(), tail.rend(), text.rbegin(),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// Reads up to the frame's capacity; returns frames read, -1 on a read error.
int readFrames(std::vector<unsigned char>& bytes, int channels) {
  size_t got = 0;
  while (got < bytes.size()) {
    const size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, stdin);
    if (n == 0) break;
    got += n;
  }
  if (std::ferror(stdin)) return -1;
  return static_cast<int>(got / (2 * static_cast<size_t>(channels)));
}

class Encoding {
public:
  Encoding(AVCodecContext& codec, AacOutput& output)
      : m_codec(codec), m_output(output), m_packet(av_packet_alloc()) {}

  // Sends one frame (nullptr drains the encoder) and writes what comes out.
  bool feed(const AVFrame* frame) {
    if (avcodec_send_frame(&m_codec, frame) < 0) return false;
    for (;;) {
      const int received = avcodec_receive_packet(&m_codec, m_packet.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
      if (received < 0) return false;
      const bool written = m_output.write(*m_packet);
      av_packet_unref(m_packet.get());
      if (!written) return false;
    }
  }

private:
  AVCodecContext& m_codec;
  AacOutput& m_output;
  Packet m_packet;
};

}  // namespace

long aacBitRate(const AacSettings& settings) {
  const long channels = settings.channels;
  const long wanted = settings.averageKbps > 0
                          ? settings.averageKbps * 1000L
                          : kQualityBitsPerChannel * channels * settings.quality / 100;
  const long ceiling = channels * std::min(kMaxBitsPerChannel,
                                           kFrameBitsPerChannel * settings.sampleRate / 1024);
  return std::clamp(wanted, kMinBitsPerChannel * channels, ceiling);
}

int encodeAac(const AacSettings& settings) {
  av_log_set_level(AV_LOG_ERROR);
  const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
  if (!encoder) return 1;
  CodecContext codec(avcodec_alloc_context3(encoder));
  if (!codec) return 2;
  const bool mp4 = endsWith(settings.outputPath, ".m4a") || endsWith(settings.outputPath, ".mp4");
  codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
  codec->sample_rate = settings.sampleRate;
  av_channel_layout_default(&codec->ch_layout, settings.channels);
  codec->bit_rate = aacBitRate(settings);
  codec->profile = FF_PROFILE_AAC_LOW;
  codec->time_base = AVRational{1, settings.sampleRate};
  if (mp4) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (!settings.temporalNoiseShaping) av_opt_set_int(codec->priv_data, "aac_tns", 0, 0);
  // Perceptual noise substitution is an MPEG-4 tool.
  if (settings.mpeg2) av_opt_set_int(codec->priv_data, "aac_pns", 0, 0);
  if (avcodec_open2(codec.get(), encoder, nullptr) < 0) {
    std::fprintf(stderr, "cannot encode %d channels at %d Hz as AAC\n", settings.channels,
                 settings.sampleRate);
    return 1;
  }

  std::unique_ptr<AacOutput> output =
      mp4 ? makeMp4Output(settings.outputPath, *codec)
          : makeAdtsOutput(settings.outputPath, *codec, settings.mpeg2);
  if (!output) {
    std::fprintf(stderr, "cannot write %s\n", settings.outputPath.c_str());
    return 2;
  }

  Frame frame(av_frame_alloc());
  const int channels = settings.channels;
  std::vector<unsigned char> bytes(static_cast<size_t>(codec->frame_size) * channels * 2);
  Encoding encoding(*codec, *output);
  int status = 0;
  int64_t position = 0;
  for (;;) {
    const int frames = readFrames(bytes, channels);
    if (frames < 0) { status = 1; break; }
    if (frames == 0) break;
    frame->nb_samples = frames;
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = settings.sampleRate;
    frame->pts = position;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) { status = 2; break; }
    for (int c = 0; c < channels; ++c) {
      float* plane = reinterpret_cast<float*>(frame->extended_data[c]);
      for (int i = 0; i < frames; ++i) {
        const size_t at = (static_cast<size_t>(i) * channels + c) * 2;
        plane[i] = static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8)) / 32768.0f;
      }
    }
    const bool fed = encoding.feed(frame.get());
    av_frame_unref(frame.get());
    if (!fed) { status = 2; break; }
    position += frames;
  }
  if (status == 0 && !encoding.feed(nullptr)) status = 2;
  if (!output->finish() && status == 0) status = 2;
  if (status != 0) std::remove(settings.outputPath.c_str());
  return status;
}

}  // namespace components
