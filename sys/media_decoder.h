#pragma once
// Decoding a file with the system's media framework (DirectShow on Windows)
// into PCM, for the formats we have no decoder of our own for.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace sys {

struct PcmLayout {
  int32_t sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;  // 8, 16, 24 or 32, integer samples
};

// Receives the decoded samples, interleaved little-endian PCM. It may be
// called on a thread of the framework; false stops the decoding.
class PcmReceiver {
 public:
  virtual ~PcmReceiver() = default;
  virtual bool begin(const PcmLayout& layout) = 0;
  virtual bool write(const void* data, size_t bytes) = 0;
};

enum class MediaDecodeResult {
  Done,
  Cancelled,
  CannotRender,  // no way through the framework from the file to PCM
  Failed,        // the framework or the receiver failed part-way
};

// keepGoing(done, total) is polled on the calling thread while the file
// decodes, with the position and length in any unit (total 0 when unknown);
// it keeps the interface alive and returns false to cancel.
MediaDecodeResult decodeMediaFile(const std::string& path, PcmReceiver& receiver,
                                  const std::function<bool(int64_t done, int64_t total)>& keepGoing);

}  // namespace sys
