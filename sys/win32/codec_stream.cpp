// Conversion streams of the Audio Compression Manager between a compressed
// wave format and 16-bit PCM of the same rate and channels.

#include "sys/codec_stream.h"

#include <algorithm>
#include <cstring>

#include "sys/win32/wide_text.h"
// After windows.h:
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

namespace sys {

namespace {

constexpr size_t kWaveFormatBytes = 18;        // the record up to and with cbSize
constexpr size_t kLargestTransfer = 1u << 30;  // ACM counts in 32 bits

// A wave-format record copied out of its little-endian bytes. Empty when the
// bytes cannot hold a sound format: too short, extra bytes that run past the
// end, no channels or no rate.
std::vector<uint8_t> formatRecord(const std::vector<uint8_t>& bytes) {
  // A bare 16-byte record (no cbSize) is a valid PCM format.
  if (bytes.size() < 16) return {};
  std::vector<uint8_t> record(std::max(bytes.size(), sizeof(WAVEFORMATEX)), 0);
  std::memcpy(record.data(), bytes.data(), bytes.size());
  auto* format = reinterpret_cast<WAVEFORMATEX*>(record.data());
  if (bytes.size() < kWaveFormatBytes) format->cbSize = 0;
  if (kWaveFormatBytes + format->cbSize > record.size()) return {};
  if (format->nChannels == 0 || format->nSamplesPerSec == 0) return {};
  record.resize(kWaveFormatBytes + format->cbSize);
  return record;
}

WAVEFORMATEX pcmFormatFor(const WAVEFORMATEX& coded) {
  WAVEFORMATEX pcm{};
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  pcm.nChannels = coded.nChannels;
  pcm.nSamplesPerSec = coded.nSamplesPerSec;
  pcm.wBitsPerSample = 16;
  pcm.nBlockAlign = static_cast<WORD>(2 * coded.nChannels);
  pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
  pcm.cbSize = 0;
  return pcm;
}

class AcmCodecStream final : public CodecStream {
 public:
  // padsLastBlock: an encoder, whose input ends in a part of a block that the
  // codec would otherwise leave behind.
  AcmCodecStream(HACMSTREAM stream, size_t sourceBlockAlign, size_t targetBlockAlign, bool padsLastBlock)
      : m_stream(stream),
        m_sourceBlockAlign(std::max<size_t>(sourceBlockAlign, 1)),
        m_targetBlockAlign(std::max<size_t>(targetBlockAlign, 1)),
        m_padsLastBlock(padsLastBlock) {}
  ~AcmCodecStream() override { acmStreamClose(m_stream, 0); }
  AcmCodecStream(const AcmCodecStream&) = delete;
  AcmCodecStream& operator=(const AcmCodecStream&) = delete;

  size_t inputBytesFor(size_t outputBytes) const override {
    size_t wanted = std::clamp(outputBytes, m_targetBlockAlign, kLargestTransfer);
    DWORD sourceBytes = 0;
    if (acmStreamSize(m_stream, static_cast<DWORD>(wanted), &sourceBytes, ACM_STREAMSIZEF_DESTINATION) != 0)
      sourceBytes = 0;
    // Whole blocks, and at least one.
    size_t blocks = (std::max<size_t>(sourceBytes, 1) + m_sourceBlockAlign - 1) / m_sourceBlockAlign;
    return blocks * m_sourceBlockAlign;
  }

  bool convert(const uint8_t* input, size_t inputBytes, size_t& consumed, uint8_t* output,
               size_t outputCapacity, size_t& produced, bool endOfInput) override {
    consumed = 0;
    produced = 0;
    if (!output || outputCapacity == 0) return false;
    // Block codecs hold nothing back between calls, so an empty last call has nothing to flush.
    if (!input || inputBytes == 0) return true;
    size_t blockInput = inputBytesFor(m_targetBlockAlign);
    if (endOfInput && m_padsLastBlock && inputBytes < blockInput) {
      // The samples of a last, short block would be lost: they go out
      // followed by silence, as a whole block.
      std::vector<uint8_t> padded(blockInput, 0);
      std::memcpy(padded.data(), input, inputBytes);
      size_t used = 0;
      if (!convertOnce(padded.data(), padded.size(), used, output, outputCapacity, produced, true)) return false;
      consumed = used > 0 ? inputBytes : 0;
      return true;
    }
    return convertOnce(input, inputBytes, consumed, output, outputCapacity, produced, endOfInput);
  }

 private:
  bool convertOnce(const uint8_t* input, size_t inputBytes, size_t& consumed, uint8_t* output,
                   size_t outputCapacity, size_t& produced, bool endOfInput) {
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = const_cast<uint8_t*>(input);
    header.cbSrcLength = static_cast<DWORD>(std::min(inputBytes, kLargestTransfer));
    header.pbDst = output;
    header.cbDstLength = static_cast<DWORD>(std::min(outputCapacity, kLargestTransfer));
    if (acmStreamPrepareHeader(m_stream, &header, 0) != 0) return false;
    DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN;
    if (!m_started) flags |= ACM_STREAMCONVERTF_START;
    if (endOfInput) flags |= ACM_STREAMCONVERTF_END;
    MMRESULT result = acmStreamConvert(m_stream, &header, flags);
    bool done = result == 0 && (header.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE);
    size_t used = header.cbSrcLengthUsed;
    size_t made = header.cbDstLengthUsed;
    acmStreamUnprepareHeader(m_stream, &header, 0);
    if (!done) return false;
    m_started = true;
    consumed = std::min(used, inputBytes);
    produced = std::min(made, outputCapacity);
    return true;
  }

  HACMSTREAM m_stream;
  size_t m_sourceBlockAlign;
  size_t m_targetBlockAlign;
  bool m_padsLastBlock;
  bool m_started = false;
};

// Real-time first, as playback wants; codecs that only convert off-line
// refuse that and are asked again without it.
HACMSTREAM openStream(WAVEFORMATEX* source, WAVEFORMATEX* target) {
  for (DWORD mode : {DWORD{0}, DWORD{ACM_STREAMOPENF_NONREALTIME}}) {
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, source, target, nullptr, 0, 0, mode) == 0 && stream) return stream;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<CodecStream> openDecodingStream(const std::vector<uint8_t>& waveFormat) {
  std::vector<uint8_t> record = formatRecord(waveFormat);
  if (record.empty()) return nullptr;
  auto* coded = reinterpret_cast<WAVEFORMATEX*>(record.data());
  WAVEFORMATEX pcm = pcmFormatFor(*coded);
  HACMSTREAM stream = openStream(coded, &pcm);
  if (!stream) return nullptr;
  return std::make_unique<AcmCodecStream>(stream, coded->nBlockAlign, pcm.nBlockAlign, false);
}

std::unique_ptr<CodecStream> openEncodingStream(const std::vector<uint8_t>& waveFormat) {
  std::vector<uint8_t> record = formatRecord(waveFormat);
  if (record.empty()) return nullptr;
  auto* coded = reinterpret_cast<WAVEFORMATEX*>(record.data());
  WAVEFORMATEX pcm = pcmFormatFor(*coded);
  HACMSTREAM stream = openStream(&pcm, coded);
  if (!stream) return nullptr;
  return std::make_unique<AcmCodecStream>(stream, pcm.nBlockAlign, coded->nBlockAlign, true);
}

}  // namespace sys
