#include "formats/byte_source.h"

#include <algorithm>
#include <cstring>

size_t MemoryByteSource::read(void* data, size_t bytes) {
  if (m_position >= size()) return 0;
  size_t take = std::min<size_t>(bytes, static_cast<size_t>(size() - m_position));
  std::memcpy(data, m_bytes.data() + m_position, take);
  m_position += static_cast<int64_t>(take);
  return take;
}

bool MemoryByteSource::seek(int64_t offset) {
  if (offset < 0) return false;
  m_position = offset;
  return true;
}

std::unique_ptr<ByteSource> openFileBytes(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return nullptr;
  return std::make_unique<FileByteSource>(std::move(file));
}
