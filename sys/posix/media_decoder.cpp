// There is no system media framework to decode through here: every file is
// one the framework cannot render, as on a Windows PC without the codec.

#include "sys/media_decoder.h"

namespace sys {

MediaDecodeResult decodeMediaFile(const std::string&, PcmReceiver&, const std::function<bool(int64_t, int64_t)>&) {
  return MediaDecodeResult::CannotRender;
}

}  // namespace sys
