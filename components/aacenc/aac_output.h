#pragma once
// Where encoded AAC frames go: an ADTS stream (".aac") or an MP4 audio file
// (".m4a").
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace components {

class AacOutput {
public:
  virtual ~AacOutput() = default;
  virtual bool write(const AVPacket& packet) = 0;
  // Completes the file; false when it could not be written whole.
  virtual bool finish() = 0;
};

// The encoder must be opened before the output is made; the MP4 writer
// needs it opened with a global header. mpeg2 marks ADTS headers as
// MPEG-2 AAC.
std::unique_ptr<AacOutput> makeAdtsOutput(const std::string& path, const AVCodecContext& encoder,
                                          bool mpeg2);
std::unique_ptr<AacOutput> makeMp4Output(const std::string& path, const AVCodecContext& encoder);

}  // namespace components
