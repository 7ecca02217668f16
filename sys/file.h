#pragma once
// A file handle with the platform's share modes and 64-bit offsets.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

enum class Access { Read, ReadWrite };
enum class Share { None, Read, ReadWrite };
enum class Disposition {
  OpenExisting,  // fail when missing
  CreateAlways,  // create or truncate
  OpenAlways,    // create when missing, keep the content otherwise
  CreateNew,     // create; fail when the path exists (never takes over a file)
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Paths are UTF-8. An unopened File is returned on failure.
  static File open(const std::string& path, Access access, Share share,
                   Disposition disposition);

  bool isOpen() const;
  // Both return the bytes transferred; a short count means end of file or failure.
  size_t read(void* data, size_t bytes);
  size_t write(const void* data, size_t bytes);
  bool seek(int64_t offset);  // from the start
  int64_t tell() const;
  int64_t size() const;
  bool truncateHere();  // cuts the file at the current position
  bool flush();         // writes the system's buffers through to the disk
  void close();

 private:
  intptr_t m_handle = -1;
};

}  // namespace sys
