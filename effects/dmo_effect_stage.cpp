#include "effects/dmo_effect_stage.h"

#include <algorithm>

#include "effects/plugin_samples.h"

DmoEffectStage::DmoEffectStage(SampleSourceRef source, std::shared_ptr<MediaObjectPort> object)
    : SampleSource(source->sampleRate(), source->channels(), source->nominalPeak()),
      m_source(std::move(source)),
      m_object(std::move(object)) {
  if (!m_source->good()) {
    setStatus(m_source->status());
    return;
  }
  if (!m_object || !m_object->setPcmType(sampleRate(), channels())) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  const size_t blockSamples = static_cast<size_t>(kBlockFrames) * channels();
  m_staging.resize(blockSamples);
  m_input.resize(blockSamples);
  m_output.resize(blockSamples);
}

void DmoEffectStage::read(Sample* buffer, int32_t frames) {
  const int channelCount = channels();
  while (frames > 0) {
    const int32_t block = std::min(frames, kBlockFrames);
    processBlock(buffer, block);
    buffer += static_cast<size_t>(block) * channelCount;
    frames -= block;
  }
}

void DmoEffectStage::seek(int32_t frame) {
  m_source->seek(frame);
  m_carried.clear();
  if (good()) m_object->discontinuity();
}

void DmoEffectStage::processBlock(Sample* buffer, int32_t frames) {
  const size_t count = static_cast<size_t>(frames) * channels();
  if (!good()) {
    std::fill_n(buffer, count, 0);
    return;
  }
  m_source->read(m_staging.data(), frames);
  pcm16FromSamples(m_staging.data(), static_cast<int64_t>(count), m_input.data());
  const uint32_t bytes = static_cast<uint32_t>(count * sizeof(int16_t));
  if (m_object->processesInPlace()) {
    if (!m_object->processInPlace(reinterpret_cast<uint8_t*>(m_input.data()), bytes)) setStatus(SourceStatus::Corrupt);
    samplesFromPcm16(m_input.data(), static_cast<int64_t>(count), buffer);
    return;
  }
  if (!runThroughStreams(frames)) setStatus(SourceStatus::Corrupt);
  // The object may give more than this read asks for (the rest waits for the
  // next read) or less (it holds some back; silence fills in).
  const size_t ready = std::min(count, m_carried.size());
  for (size_t i = 0; i < ready; ++i) buffer[i] = static_cast<Sample>(m_carried[i]) * 16;
  m_carried.erase(m_carried.begin(), m_carried.begin() + static_cast<std::ptrdiff_t>(ready));
  std::fill(buffer + ready, buffer + count, 0);
}

bool DmoEffectStage::runThroughStreams(int32_t frames) {
  const uint32_t bytes = static_cast<uint32_t>(static_cast<size_t>(frames) * channels() * sizeof(int16_t));
  MediaObjectPort::InputResult input = m_object->processInput(reinterpret_cast<const uint8_t*>(m_input.data()), bytes);
  if (input == MediaObjectPort::InputResult::Failed) return false;
  bool ok = true;
  if (input == MediaObjectPort::InputResult::Accepted) {
    const size_t frameBytes = static_cast<size_t>(channels()) * sizeof(int16_t);
    const uint32_t capacity = static_cast<uint32_t>(m_output.size() * sizeof(int16_t));
    bool more = true;
    while (more) {
      uint32_t produced = 0;
      if (!m_object->processOutput(reinterpret_cast<uint8_t*>(m_output.data()), capacity, produced, more)) {
        ok = false;
        break;
      }
      // Whole frames only; an object claiming more than the buffer holds is
      // taken at the buffer's size.
      produced = std::min(produced, capacity);
      produced -= static_cast<uint32_t>(produced % frameBytes);
      m_carried.insert(m_carried.end(), m_output.begin(), m_output.begin() + produced / sizeof(int16_t));
      // An object that says more follows but gives nothing would loop for ever.
      if (produced == 0) break;
    }
  }
  m_object->discontinuity();
  return ok;
}
