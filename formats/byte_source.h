#pragma once
// The small reader interface that every parser reads through, so that tests
// and fuzzers can hand it memory instead of a file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sys/file.h"

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Returns the bytes transferred; fewer at the end or on failure.
  virtual size_t read(void* data, size_t bytes) = 0;
  virtual bool seek(int64_t offset) = 0;
  virtual int64_t tell() const = 0;
  virtual int64_t size() const = 0;

  // Reads exactly bytes or reports false.
  bool readExact(void* data, size_t bytes) { return read(data, bytes) == bytes; }
  bool skip(int64_t bytes) { return seek(tell() + bytes); }
};

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(sys::File file) : m_file(std::move(file)) {}
  size_t read(void* data, size_t bytes) override { return m_file.read(data, bytes); }
  bool seek(int64_t offset) override { return offset >= 0 && m_file.seek(offset); }
  int64_t tell() const override { return m_file.tell(); }
  int64_t size() const override { return m_file.size(); }

 private:
  sys::File m_file;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
  MemoryByteSource(const uint8_t* data, size_t bytes) : m_bytes(data, data + bytes) {}
  size_t read(void* data, size_t bytes) override;
  bool seek(int64_t offset) override;
  int64_t tell() const override { return m_position; }
  int64_t size() const override { return static_cast<int64_t>(m_bytes.size()); }

 private:
  std::vector<uint8_t> m_bytes;
  int64_t m_position = 0;
};

// Opens a file for reading with read sharing (the readers' mode); null when
// it cannot be opened.
std::unique_ptr<ByteSource> openFileBytes(const std::string& path);

// Integer fields of file headers.
inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void storeLe16(uint8_t* p, uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; }
inline void storeLe32(uint8_t* p, uint32_t v) { storeLe16(p, v & 0xFFFF); storeLe16(p + 2, v >> 16); }
inline void storeBe16(uint8_t* p, uint32_t v) { p[0] = (v >> 8) & 0xFF; p[1] = v & 0xFF; }
inline void storeBe32(uint8_t* p, uint32_t v) { storeBe16(p, v >> 16); storeBe16(p + 2, v & 0xFFFF); }
