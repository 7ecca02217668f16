#include "formats/file_sink.h"

bool FileSink::openOutput(const std::string& path, sys::Disposition disposition, sys::Share share) {
  m_file = sys::File::open(path, sys::Access::ReadWrite, share, disposition);
  if (!m_file.isOpen()) fail();
  return m_file.isOpen();
}

bool FileSink::writeBytes(const void* data, size_t bytes) {
  if (!good()) return false;
  if (m_file.write(data, bytes) != bytes) {
    fail();
    return false;
  }
  return true;
}

bool FileSink::seekTo(int64_t offset) {
  if (!good()) return false;
  if (!m_file.seek(offset)) {
    fail();
    return false;
  }
  return true;
}

bool FileSink::rewriteAt(int64_t offset, const void* data, size_t bytes) {
  if (!m_file.seek(offset) || m_file.write(data, bytes) != bytes) {
    fail();
    return false;
  }
  return true;
}

bool FileSink::advance(int32_t frames) {
  if (static_cast<int64_t>(position()) + frames > kMaxFrames) {
    refuseAsFull();
    return false;
  }
  setPosition(position() + frames);
  return true;
}

bool FileSink::writeEncoded(SampleEncoding encoding, const Sample* buffer, int32_t frames) {
  if (frames <= 0 || closed()) return true;
  if (!advance(frames) || !good()) return false;
  size_t samples = static_cast<size_t>(frames) * channels();
  m_encoded.resize(samples * bytesPerSample(encoding));
  encodeSamples(encoding, buffer, samples, m_encoded.data());
  return writeBytes(m_encoded.data(), m_encoded.size());
}
