#include "core/block_writer.h"

#include <bit>

BlockWriter::BlockWriter(SoundBuffer& target, int32_t sampleRate, int channels)
    : SampleSink(sampleRate, channels), m_target(target), m_block(allocateBlock()), m_overview(this->channels()) {
  if (m_block == NoBlock || blockFolder().empty()) {
    fail();
    return;
  }
  auto create = [](const std::string& path) {
    return sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
  };
  m_samples = create(blockSamplePath(m_block));
  m_peaks = create(blockPeakPath(m_block));
  if (!m_samples.isOpen() || !m_peaks.isOpen()) fail();
}

BlockWriter::~BlockWriter() { close(); }

void BlockWriter::write(const Sample* buffer, int32_t frames) {
  if (frames <= 0 || closed()) return;
  if (static_cast<int64_t>(position()) + frames > kMaxFrames) {
    fail();
    return;
  }
  setPosition(position() + frames);
  if (!good()) return;
  size_t bytes = static_cast<size_t>(frames) * channels() * sizeof(Sample);
  if (m_samples.write(buffer, bytes) != bytes) {
    fail();
    return;
  }
  m_peakBytes.clear();
  m_overview.add(buffer, frames, m_peakBytes);
  if (!m_peakBytes.empty() && m_peaks.write(m_peakBytes.data(), m_peakBytes.size()) != m_peakBytes.size())
    fail();
}

void BlockWriter::seek(int32_t frame) {
  if (closed()) return;
  if (frame < 0) frame = 0;
  setPosition(frame);
  if (!good()) return;
  int64_t record = frame / kFramesPerPeakRecord;
  if (!m_samples.seek(static_cast<int64_t>(frame) * channels() * 4) ||
      !m_peaks.seek(record * channels() * 2))
    fail();
  m_overview.restart(frame % kFramesPerPeakRecord);
}

void BlockWriter::commit() {
  if (good()) {
    m_peakBytes.clear();
    m_overview.flush(m_peakBytes);
    if (!m_peakBytes.empty() && m_peaks.write(m_peakBytes.data(), m_peakBytes.size()) != m_peakBytes.size())
      fail();
  }
  m_samples.close();
  m_peaks.close();
  if (good()) m_target.setContent(BlockSpan(m_block, position(), kUnityGain, 0), sampleRate(), channels());
  releaseBlock(m_block);  // the writer's own reference
  m_block = NoBlock;
}

SampleSinkRef SoundBuffer::openWriter(int32_t sampleRate, int channels) {
  return makeRef<BlockWriter>(*this, sampleRate, channels);
}
