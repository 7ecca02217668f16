#include "aac_output.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace components {
namespace {

class Mp4Output : public AacOutput {
public:
  Mp4Output(AVFormatContext* format, AVRational encoderTimeBase)
      : m_format(format), m_encoderTimeBase(encoderTimeBase) {}
  ~Mp4Output() override { close(); }

  bool write(const AVPacket& packet) override {
    AVPacket* copy = av_packet_clone(&packet);
    if (!copy) return false;
    copy->stream_index = 0;
    av_packet_rescale_ts(copy, m_encoderTimeBase, m_format->streams[0]->time_base);
    const bool written = av_interleaved_write_frame(m_format, copy) >= 0;
    av_packet_free(&copy);
    return written;
  }

  bool finish() override {
    const bool trailer = av_write_trailer(m_format) >= 0;
    return close() && trailer;
  }

private:
  bool close() {
    if (!m_format) return true;
    const bool closed = avio_closep(&m_format->pb) >= 0;
    avformat_free_context(m_format);
    m_format = nullptr;
    return closed;
  }

  AVFormatContext* m_format;
  AVRational m_encoderTimeBase;
};

}  // namespace

std::unique_ptr<AacOutput> makeMp4Output(const std::string& path, const AVCodecContext& encoder) {
  AVFormatContext* format = nullptr;
  if (avformat_alloc_output_context2(&format, nullptr, "ipod", path.c_str()) < 0) return nullptr;
  AVStream* stream = avformat_new_stream(format, nullptr);
  if (!stream || avcodec_parameters_from_context(stream->codecpar, &encoder) < 0) {
    avformat_free_context(format);
    return nullptr;
  }
  stream->time_base = AVRational{1, encoder.sample_rate};
  if (avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
    avformat_free_context(format);
    return nullptr;
  }
  auto output = std::make_unique<Mp4Output>(format, encoder.time_base);
  if (avformat_write_header(format, nullptr) < 0) return nullptr;
  return output;
}

}  // namespace components
