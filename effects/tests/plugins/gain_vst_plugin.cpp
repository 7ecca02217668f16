// A gain plug-in built for the tests of the plug-in host: one parameter
// "Gain" (0..1, twice that is the factor, 0.5 is unity), as many inputs and
// outputs as ZED_GAIN_CHANNELS, and a log of every request the host sends
// and every block it processes, which the tests read through
// zedGainPluginLog. Built with ZED_GAIN_ACCUMULATING it offers only the
// accumulating process call, as the oldest plug-ins do; ZED_GAIN_DEFAULT
// sets the gain it starts with; ZED_GAIN_EDITOR gives it an editor window.

#include <cstring>

#include "effects/tests/plugins/gain_plugin_editor.h"
#include "effects/tests/plugins/gain_plugin_log.h"
#include "effects/vst_interface.h"

namespace {

#ifndef ZED_GAIN_DEFAULT
#define ZED_GAIN_DEFAULT 0.5f
#endif

struct GainEffect {
  VstEffect record{};
  float gain = ZED_GAIN_DEFAULT;
};

GainPluginLog g_log;

void logCall(int32_t opcode, int32_t index, intptr_t value, float option) {
  if (g_log.callCount < kGainLogCalls) g_log.calls[g_log.callCount] = {opcode, index, static_cast<int64_t>(value), option};
  ++g_log.callCount;
}

GainEffect& gainOf(VstEffect* effect) { return *static_cast<GainEffect*>(effect->object); }

intptr_t dispatch(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* data, float option) {
  logCall(opcode, index, value, option);
  switch (opcode) {
    case vstop::kClose:
      delete &gainOf(effect);
      ++g_log.closed;
      return 1;
    case vstop::kGetParamName: std::strcpy(static_cast<char*>(data), "Gain"); return 1;
#ifdef ZED_GAIN_EDITOR
    case vstop::kEditGetRect: *static_cast<GainEditorRect**>(data) = gainEditorRect(); return 1;
    case vstop::kEditOpen: openGainEditor(data); return 1;
    case vstop::kEditClose: closeGainEditor(); return 1;
#endif
    case vstop::kGetEffectName: std::strcpy(static_cast<char*>(data), "Zed Test Gain"); return 1;
    default: return 0;
  }
}

void setParameter(VstEffect* effect, int32_t index, float value) {
  if (index == 0) gainOf(effect).gain = value;
}

float getParameter(VstEffect* effect, int32_t index) { return index == 0 ? gainOf(effect).gain : 0.0f; }

void recordBlock(float** inputs, int32_t frames) {
  if (g_log.blockCount < kGainLogBlocks) g_log.blocks[g_log.blockCount] = {frames, inputs[0][0]};
  ++g_log.blockCount;
}

[[maybe_unused]] void processReplacing(VstEffect* effect, float** inputs, float** outputs, int32_t frames) {
  recordBlock(inputs, frames);
  const float factor = 2.0f * gainOf(effect).gain;
  for (int c = 0; c < effect->numOutputs; ++c)
    for (int32_t f = 0; f < frames; ++f) outputs[c][f] = inputs[c][f] * factor;
}

void processAccumulating(VstEffect* effect, float** inputs, float** outputs, int32_t frames) {
  recordBlock(inputs, frames);
  const float factor = 2.0f * gainOf(effect).gain;
  for (int c = 0; c < effect->numOutputs; ++c)
    for (int32_t f = 0; f < frames; ++f) outputs[c][f] += inputs[c][f] * factor;
}

}  // namespace

extern "C" GainPluginLog* zedGainPluginLog() { return &g_log; }

extern "C" VstEffect* zedGainPluginMain(VstHostCallback host) {
  g_log.hostVersion = static_cast<int32_t>(host(nullptr, vsthost::kVersion, 0, 0, nullptr, 0.0f));
  auto* gain = new GainEffect;
  VstEffect& record = gain->record;
  record.magic = kVstMagic;
  record.dispatcher = dispatch;
  record.setParameter = setParameter;
  record.getParameter = getParameter;
  record.numPrograms = 1;
  record.numParams = 1;
  record.numInputs = ZED_GAIN_CHANNELS;
  record.numOutputs = ZED_GAIN_CHANNELS;
  record.object = gain;
  record.uniqueId = 0x5A474E31;
  record.version = 1;
#ifdef ZED_GAIN_ACCUMULATING
  record.process = processAccumulating;
#else
  record.flags = kVstFlagCanReplace;
  record.processReplacing = processReplacing;
  // Never used by hosts that replace; here to show which call ran.
  record.process = processAccumulating;
#endif
#ifdef ZED_GAIN_EDITOR
  record.flags |= kVstFlagHasEditor;
#endif
  ++g_log.created;
  return &record;
}
