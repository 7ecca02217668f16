#pragma once
// What the file writers share: the output file, byte writes that record a
// failed or short write in the status, and the sample encoding of a chunk.

#include <string>
#include <vector>

#include "core/sample_source.h"
#include "formats/pcm_source.h"
#include "sys/file.h"

class FileSink : public SampleSink {
 protected:
  FileSink(int32_t sampleRate, int channels) : SampleSink(sampleRate, channels) {}
  // Opens the output (read/write, read sharing); status 1 when it cannot.
  bool openOutput(const std::string& path, sys::Disposition disposition,
                  sys::Share share = sys::Share::Read);
  // Writes all bytes or marks the sink failed.
  bool writeBytes(const void* data, size_t bytes);
  bool seekTo(int64_t offset);
  // Writes bytes at offset whatever the status, so that a sink that failed
  // can still make its header describe what the file holds.
  bool rewriteAt(int64_t offset, const void* data, size_t bytes);
  // Encodes frames of Samples and writes them; position advances by frames.
  bool writeEncoded(SampleEncoding encoding, const Sample* buffer, int32_t frames);
  // Advances the position; past the frame limit the sink is full.
  bool advance(int32_t frames);

  sys::File m_file;

 private:
  std::vector<uint8_t> m_encoded;
};
