#include "formats/mpg123_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// libmpg123 answers a read with no samples while it passes over a format
// change or a frame it had to drop; this many in a row means it is stuck.
constexpr int kMaxEmptyReads = 64;

mpg123_ssize_t readBytes(void* handle, void* data, size_t bytes) {
  auto* source = static_cast<ByteSource*>(handle);
  return static_cast<mpg123_ssize_t>(source->read(data, bytes));
}

off_t seekBytes(void* handle, off_t offset, int whence) {
  auto* source = static_cast<ByteSource*>(handle);
  int64_t base = 0;
  if (whence == SEEK_CUR) base = source->tell();
  if (whence == SEEK_END) base = source->size();
  const int64_t target = base + static_cast<int64_t>(offset);
  // A position the library's offset type cannot hold is refused, so it never
  // sees a wrapped one.
  if (target < 0 || target > std::numeric_limits<off_t>::max() || !source->seek(target)) return -1;
  return static_cast<off_t>(target);
}

// The library keeps global tables; setting them up twice is harmless.
bool libraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

// True when the bytes start as a RIFF WAVE file that does not carry MPEG
// audio: the library would otherwise hunt for frame headers in its PCM data.
bool isOtherWave(ByteSource& bytes) {
  uint8_t head[12];
  if (!bytes.seek(0) || !bytes.readExact(head, sizeof head)) return false;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  uint8_t chunk[10];
  while (bytes.readExact(chunk, 8)) {
    const uint32_t size = le32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 2 || !bytes.readExact(chunk + 8, 2)) return true;
      const uint16_t tag = le16(chunk + 8);
      return tag != 0x50 && tag != 0x55;  // MPEG Layers I/II, Layer III
    }
    if (!bytes.skip(static_cast<int64_t>(size) + (size & 1))) break;
  }
  return true;
}

// True when a frame after the first carries two channels. Streams may
// switch between single-channel and stereo frames; one that starts with a
// single channel and has stereo frames later is a stereo sound. The walk
// reads frame headers and bodies but decodes nothing.
bool hasStereoFrame(mpg123_handle* handle) {
  int result;
  while ((result = mpg123_framebyframe_next(handle)) == MPG123_OK || result == MPG123_NEW_FORMAT) {
    mpg123_frameinfo info{};
    if (mpg123_info(handle, &info) == MPG123_OK && info.mode != MPG123_M_MONO) return true;
  }
  return false;
}

}  // namespace

void Mpg123Decoder::Deleter::operator()(mpg123_handle_struct* handle) const { mpg123_delete(handle); }

Mpg123Decoder::Mpg123Decoder() = default;
Mpg123Decoder::~Mpg123Decoder() = default;

Mpg123Decoder::OpenResult Mpg123Decoder::open(ByteSource& bytes) {
  m_bytes = &bytes;
  if (!libraryReady() || isOtherWave(bytes) || !bytes.seek(0)) return OpenResult::NotMpegAudio;
  int error = MPG123_OK;
  m_handle.reset(mpg123_new(nullptr, &error));
  mpg123_handle* handle = m_handle.get();
  if (!handle) return OpenResult::NotMpegAudio;

  // Gapless: the Xing/Info header's delay and padding are cut off. Quiet: a
  // damaged frame reads as silence, not as text on the console. ID3v2
  // tags are passed over unread: parsing one would hold as much memory as
  // its header claims (up to 256 MB), and tags are read elsewhere. No resync
  // limit: garbage of any length in the middle is passed over.
  mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_SKIP_ID3V2, 0.0);
  mpg123_param(handle, MPG123_RESYNC_LIMIT, -1, 0.0);
  // Every rate at its own rate and channel count, as 16-bit samples.
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

  if (mpg123_replace_reader_handle(handle, readBytes, seekBytes, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle, m_bytes) != MPG123_OK)
    return OpenResult::NotMpegAudio;

  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels < 1 ||
      channels > 2)
    return OpenResult::NotMpegAudio;
  if (channels == 1 && hasStereoFrame(handle)) channels = 2;
  // The scan walks every frame header once, for the exact length and the
  // seek index; it decodes nothing.
  if (mpg123_scan(handle) != MPG123_OK) return OpenResult::NotMpegAudio;
  const off_t length = mpg123_length(handle);
  if (length <= 0) return OpenResult::NotMpegAudio;
  if (mpg123_seek(handle, 0, SEEK_SET) != 0) return OpenResult::NotMpegAudio;

  m_sampleRate = static_cast<int32_t>(rate);
  m_channels = channels;
  m_decodedChannels = channels;
  m_length = length;
  return OpenResult::Opened;
}

int32_t Mpg123Decoder::decode(int16_t* pcm, int32_t frames) {
  if (!m_handle || frames <= 0) return 0;
  int32_t filled = 0;
  while (filled < frames) {
    if (m_pendingFrames == 0 && (m_ended || !decodeNextFrame())) break;
    filled += takePending(pcm + static_cast<size_t>(filled) * m_channels, frames - filled);
  }
  return filled;
}

bool Mpg123Decoder::decodeNextFrame() {
  for (int empty = 0; empty < kMaxEmptyReads; ++empty) {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int result = mpg123_decode_frame(m_handle.get(), &frameNumber, &audio, &bytes);
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(m_handle.get(), &rate, &channels, &encoding);
      // A change of rate in mid-stream cannot be followed by one sound; its
      // frames still play, at the first rate.
      if (channels == 1 || channels == 2) m_decodedChannels = channels;
      continue;
    }
    if (result == MPG123_DONE) {
      checkEnd();
      m_ended = true;
      return false;
    }
    if (result != MPG123_OK) {
      // A read or decoding failure the library cannot pass over.
      m_damaged = true;
      m_ended = true;
      return false;
    }
    checkFrameFollows();
    m_pending = reinterpret_cast<const int16_t*>(audio);
    m_pendingFrames = static_cast<int32_t>(bytes / (sizeof(int16_t) * m_decodedChannels));
    if (m_pendingFrames > 0) return true;
  }
  m_damaged = true;
  m_ended = true;
  return false;
}

void Mpg123Decoder::checkFrameFollows() {
  const off_t at = mpg123_framepos(m_handle.get());
  mpg123_frameinfo info{};
  if (at < 0 || mpg123_info(m_handle.get(), &info) != MPG123_OK) {
    m_expectedFrameAt = -1;
    return;
  }
  // Free-format frames state no size; their neighbours are not checked.
  if (m_expectedFrameAt >= 0 && at != m_expectedFrameAt && info.bitrate != 0) m_damaged = true;
  m_expectedFrameAt = info.framesize > 0 && info.bitrate != 0 ? static_cast<int64_t>(at) + info.framesize : -1;
}

void Mpg123Decoder::checkEnd() {
  if (m_expectedFrameAt < 0 || !m_bytes) return;
  // The library keeps its own idea of where the bytes stand: put them back.
  const int64_t libraryAt = m_bytes->tell();
  uint8_t head[2];
  // A frame header starts with eleven bits set; tags (ID3v1 "TAG", APE,
  // Lyrics) and padding of zeros do not.
  if (m_bytes->seek(m_expectedFrameAt) && m_bytes->readExact(head, sizeof head) && head[0] == 0xFF &&
      (head[1] & 0xE0) == 0xE0)
    m_damaged = true;
  m_bytes->seek(libraryAt);
}

int32_t Mpg123Decoder::takePending(int16_t* pcm, int32_t frames) {
  const int32_t got = std::min(frames, m_pendingFrames);
  const int16_t* in = m_pending;
  if (m_decodedChannels == m_channels) {
    std::copy_n(in, static_cast<size_t>(got) * m_channels, pcm);
  } else {
    for (int32_t i = 0; i < got; ++i) {
      if (m_channels == 2) {  // mono frames into a stereo sound: both sides
        pcm[2 * i] = pcm[2 * i + 1] = in[i];
      } else {  // stereo frames into a mono sound: the mean
        pcm[i] = static_cast<int16_t>((in[2 * i] + in[2 * i + 1]) / 2);
      }
    }
  }
  m_pending += static_cast<size_t>(got) * m_decodedChannels;
  m_pendingFrames -= got;
  return got;
}

bool Mpg123Decoder::seek(int64_t frame) {
  if (!m_handle) return false;
  frame = std::clamp<int64_t>(frame, 0, m_length);
  const off_t reached = mpg123_seek(m_handle.get(), static_cast<off_t>(frame), SEEK_SET);
  m_pending = nullptr;
  m_pendingFrames = 0;
  m_expectedFrameAt = -1;
  if (reached < 0) {
    m_ended = true;
    return false;
  }
  m_ended = false;
  return reached == frame;
}
