#include "formats/piped_encoder_sink.h"

#include <algorithm>

#include "formats/pcm_source.h"
#include "sys/file.h"

PipedEncoderSink::PipedEncoderSink(const std::string& commandLine, const std::string& outputPath,
                                   int32_t sampleRate, int channels, ProgressCallback* waitProgress)
    : SampleSink(sampleRate, channels),
      m_outputPath(outputPath),
      m_converted(static_cast<size_t>(std::max(channels, 1)) * kConversionBytesPerChannel),
      m_waitProgress(waitProgress) {
  if (!good()) return;
  if (!m_process.start(commandLine, kPipeBytes, true)) fail();
}

PipedEncoderSink::~PipedEncoderSink() { close(); }

void PipedEncoderSink::write(const Sample* buffer, int32_t frames) {
  if (!good() || closed() || frames <= 0) return;
  const size_t frameBytes = static_cast<size_t>(channels()) * 2;
  const int32_t framesPerPiece = static_cast<int32_t>(m_converted.size() / frameBytes);
  for (int32_t done = 0; done < frames;) {
    const int32_t piece = std::min(framesPerPiece, frames - done);
    const size_t samples = static_cast<size_t>(piece) * channels();
    encodeSamples(SampleEncoding::Int16LE, buffer + static_cast<size_t>(done) * channels(), samples,
                  m_converted.data());
    // A pipe that takes less has lost its reader: the encoder has ended early.
    if (m_process.writeInput(m_converted.data(), samples * 2) != samples * 2) {
      fail();
      return;
    }
    done += piece;
    setPosition(position() + piece);
  }
}

void PipedEncoderSink::commit() {
  m_process.closeInput();  // the encoder sees the end of its input
  while (!m_process.wait(kWaitSliceMs)) {
    if (m_waitProgress && !m_waitProgress->progress(position(), position())) {
      m_cancelled = true;
      m_process.terminate();
      fail();
      return;
    }
  }
  if (!good()) return;
  if (m_process.exitCode() != 0) {
    fail();
    return;
  }
  sys::File output = sys::File::open(m_outputPath, sys::Access::Read, sys::Share::ReadWrite,
                                     sys::Disposition::OpenExisting);
  if (!output.isOpen() || output.size() <= 0) fail();
}
