#pragma once
// Writes 16-bit PCM WAVE files whose length is not known in advance: the
// header goes out first with empty sizes and is completed by finish().
#include <cstdint>
#include <cstdio>
#include <string>

namespace components {

class WaveFileWriter {
public:
  WaveFileWriter() = default;
  WaveFileWriter(const WaveFileWriter&) = delete;
  WaveFileWriter& operator=(const WaveFileWriter&) = delete;
  ~WaveFileWriter();

  bool open(const std::string& path, int sampleRate, int channels);
  bool write(const int16_t* samples, size_t frames);
  // Completes the sizes in the header and closes the file.
  bool finish();
  // Closes and deletes a file that was not written to the end.
  void discard();

  int channels() const { return m_channels; }

private:
  std::FILE* m_file = nullptr;
  std::string m_path;
  int m_channels = 0;
  uint64_t m_dataBytes = 0;
  bool m_failed = false;
};

}  // namespace components
