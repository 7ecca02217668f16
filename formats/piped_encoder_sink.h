#pragma once
// A sink that feeds an encoder program through its standard input as raw
// 16-bit little-endian samples, and counts as saved only once that program
// has ended well and left a file that is not empty.

#include <string>
#include <vector>

#include "core/sample_source.h"
#include "sys/process.h"

class PipedEncoderSink final : public SampleSink {
 public:
  static constexpr size_t kPipeBytes = 65536;
  static constexpr size_t kConversionBytesPerChannel = 16384;
  // How often the closing sink asks waitProgress whether to go on waiting.
  static constexpr int kWaitSliceMs = 50;

  // Starts the encoder; status 1 when it cannot be started. While the sink
  // waits for the encoder to end, waitProgress (may be null: wait without
  // limit) is asked; false ends the encoder and the save.
  PipedEncoderSink(const std::string& commandLine, const std::string& outputPath, int32_t sampleRate,
                   int channels, ProgressCallback* waitProgress);
  ~PipedEncoderSink() override;

  void write(const Sample* buffer, int32_t frames) override;
  // True when the wait for the encoder was cancelled.
  bool cancelled() const { return m_cancelled; }
  int exitCode() const { return m_process.exitCode(); }

 protected:
  void commit() override;

 private:
  sys::Process m_process;
  std::string m_outputPath;
  std::vector<uint8_t> m_converted;
  ProgressCallback* m_waitProgress;
  bool m_cancelled = false;
};
