#include "sys/codec_stream.h"

namespace sys {

// No system codecs outside Windows: files that need one report it.
std::unique_ptr<CodecStream> openDecodingStream(const std::vector<uint8_t>&) { return nullptr; }
std::unique_ptr<CodecStream> openEncodingStream(const std::vector<uint8_t>&) { return nullptr; }

}  // namespace sys
