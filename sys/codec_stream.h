#pragma once
// A conversion stream of the platform's audio codecs (the Audio Compression
// Manager on Windows) between a compressed wave format and 16-bit PCM.
// Where the platform has none, open fails and callers report a missing codec.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace sys {

class CodecStream {
 public:
  virtual ~CodecStream() = default;
  // Bytes of input the codec wants for outputBytes of output (at least one block).
  virtual size_t inputBytesFor(size_t outputBytes) const = 0;
  // Converts up to inputBytes; reports what it consumed and produced.
  // endOfInput flushes the codec's remaining state. False on a codec failure.
  virtual bool convert(const uint8_t* input, size_t inputBytes, size_t& consumed,
                       uint8_t* output, size_t outputCapacity, size_t& produced,
                       bool endOfInput) = 0;
};

// waveFormat holds a whole wave-format record (18 bytes + its extra bytes),
// little-endian as in a "fmt " chunk. The PCM side is 16-bit with the same
// rate and channels. Null when no codec can convert.
std::unique_ptr<CodecStream> openDecodingStream(const std::vector<uint8_t>& waveFormat);
std::unique_ptr<CodecStream> openEncodingStream(const std::vector<uint8_t>& waveFormat);

}  // namespace sys
