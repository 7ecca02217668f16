#include "effects/vst_effect_stage.h"

#include <algorithm>

#include "effects/plugin_samples.h"

VstEffectStage::VstEffectStage(SampleSourceRef source, std::shared_ptr<VstPlugin> plugin)
    : SampleSource(source->sampleRate(), source->channels(), source->nominalPeak()),
      m_source(std::move(source)),
      m_plugin(std::move(plugin)) {
  if (!m_source->good()) setStatus(m_source->status());
  if (!m_plugin || (!m_plugin->effect().processReplacing && !m_plugin->effect().process)) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  const VstEffect& effect = m_plugin->effect();
  const int channelCount = channels();
  m_processedChannels = std::clamp(effect.numOutputs, 0, channelCount);
  // Every buffer the plug-in may touch exists, even for inputs the sound has
  // no channel for (they stay silent).
  m_inputs.assign(static_cast<size_t>(std::max(effect.numInputs, channelCount)),
                  std::vector<float>(kBlockFrames, 0.0f));
  m_outputs.assign(static_cast<size_t>(std::max(effect.numOutputs, channelCount)),
                   std::vector<float>(kBlockFrames, 0.0f));
  for (auto& input : m_inputs) m_inputPointers.push_back(input.data());
  for (auto& output : m_outputs) m_outputPointers.push_back(output.data());
}

void VstEffectStage::read(Sample* buffer, int32_t frames) {
  const int channelCount = channels();
  while (frames > 0) {
    const int32_t block = std::min(frames, kBlockFrames);
    processBlock(buffer, block);
    buffer += static_cast<size_t>(block) * channelCount;
    frames -= block;
  }
}

void VstEffectStage::processBlock(Sample* buffer, int32_t frames) {
  // The caller's buffer doubles as the staging buffer: it receives the
  // source's frames and, channel by channel, the plug-in's result.
  m_source->read(buffer, frames);
  if (!good()) return;
  const int channelCount = channels();
  VstEffect& effect = m_plugin->effect();
  // Plug-ins size their work by the block size, which may change per read.
  m_plugin->dispatch(vstop::kMainsChanged, 0, 0);
  m_plugin->dispatch(vstop::kSetBlockSize, 0, frames);
  m_plugin->dispatch(vstop::kMainsChanged, 0, 1);
  for (int c = 0; c < channelCount; ++c) {
    float* input = m_inputs[c].data();
    for (int32_t f = 0; f < frames; ++f) input[f] = pluginFloatFromSample(buffer[static_cast<size_t>(f) * channelCount + c]);
  }
  // A plug-in that says it replaces is asked to; one whose only call is
  // processReplacing is too, whatever its flags say.
  const bool replacing = effect.processReplacing && ((effect.flags & kVstFlagCanReplace) || !effect.process);
  if (replacing) {
    effect.processReplacing(&effect, m_inputPointers.data(), m_outputPointers.data(), frames);
  } else {
    // The accumulating call adds to its outputs: clear them first.
    for (auto& output : m_outputs) std::fill_n(output.begin(), frames, 0.0f);
    effect.process(&effect, m_inputPointers.data(), m_outputPointers.data(), frames);
  }
  for (int c = 0; c < m_processedChannels; ++c) {
    const float* output = m_outputs[c].data();
    for (int32_t f = 0; f < frames; ++f) buffer[static_cast<size_t>(f) * channelCount + c] = sampleFromPluginFloat(output[f]);
  }
}

SampleSourceRef makeVstEffectStage(SampleSourceRef source, std::shared_ptr<VstPlugin> plugin) {
  return makeRef<VstEffectStage>(std::move(source), std::move(plugin));
}
