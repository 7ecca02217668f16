#pragma once
// A VST plug-in as one stage of the effect chain: a source that reads its own
// source in blocks of at most 8,192 frames, hands each block to the plug-in
// as floats, one buffer per channel, and gives back what the plug-in made.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "effects/vst_host.h"

class VstEffectStage final : public SampleSource {
 public:
  static constexpr int32_t kBlockFrames = 8192;

  // A null plug-in, or one that offers no process call, gives a stage that
  // is not good: applying it fails instead of passing the audio unchanged.
  VstEffectStage(SampleSourceRef source, std::shared_ptr<VstPlugin> plugin);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_source->position(); }
  int32_t length() const override { return m_source->length(); }
  void seek(int32_t frame) override { m_source->seek(frame); }

 private:
  void processBlock(Sample* buffer, int32_t frames);

  SampleSourceRef m_source;
  std::shared_ptr<VstPlugin> m_plugin;
  // Channels beyond the plug-in's outputs pass through unchanged.
  int m_processedChannels = 0;
  std::vector<std::vector<float>> m_inputs;   // one per plug-in input (at least one per channel)
  std::vector<std::vector<float>> m_outputs;  // one per plug-in output
  std::vector<float*> m_inputPointers;
  std::vector<float*> m_outputPointers;
};

// The stage wrapped round source for the plug-in; a stage that is not good
// when the plug-in is missing.
SampleSourceRef makeVstEffectStage(SampleSourceRef source, std::shared_ptr<VstPlugin> plugin);
