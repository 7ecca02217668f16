#pragma once
// The binary interface of VST 2 effect plug-ins, as far as this host uses it:
// the effect record a plug-in's entry point returns, the requests the host
// sends through its dispatcher and the ones the plug-in sends back. The
// layout is fixed by the plug-ins already built against it; every field is
// here, used or not, so that the offsets match.

#include <cstdint>

struct VstEffect;

// The plug-in's requests to the host: (effect, opcode, index, value, data, option).
using VstHostCallback = intptr_t (*)(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* data,
                                     float option);
using VstDispatcher = intptr_t (*)(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* data,
                                   float option);
// Both process calls take one buffer per input and per output.
using VstProcess = void (*)(VstEffect* effect, float** inputs, float** outputs, int32_t frames);
using VstDoubleProcess = void (*)(VstEffect* effect, double** inputs, double** outputs, int32_t frames);
using VstSetParameter = void (*)(VstEffect* effect, int32_t index, float value);
using VstGetParameter = float (*)(VstEffect* effect, int32_t index);
// The exported entry point ("main" in older plug-ins).
using VstEntryPoint = VstEffect* (*)(VstHostCallback host);

struct VstEffect {
  int32_t magic;  // kVstMagic
  VstDispatcher dispatcher;
  VstProcess process;  // accumulating: adds its output to what the buffers hold
  VstSetParameter setParameter;
  VstGetParameter getParameter;
  int32_t numPrograms;
  int32_t numParams;
  int32_t numInputs;
  int32_t numOutputs;
  int32_t flags;  // kVstFlag...
  intptr_t reserved1;
  intptr_t reserved2;
  int32_t initialDelay;
  int32_t realQualities;
  int32_t offQualities;
  float ioRatio;
  void* object;  // the plug-in's own
  void* user;    // the host's own
  int32_t uniqueId;
  int32_t version;
  VstProcess processReplacing;  // overwrites the output buffers
  VstDoubleProcess processDoubleReplacing;
  char future[56];
};

constexpr int32_t kVstMagic = 0x56737450;  // 'VstP'
constexpr int32_t kVstFlagHasEditor = 1 << 0;
constexpr int32_t kVstFlagCanReplace = 1 << 4;

// Requests of the host to the plug-in.
namespace vstop {
constexpr int32_t kOpen = 0;
constexpr int32_t kClose = 1;
constexpr int32_t kSetProgram = 2;
constexpr int32_t kGetParamName = 8;
constexpr int32_t kSetSampleRate = 10;
constexpr int32_t kSetBlockSize = 11;
constexpr int32_t kMainsChanged = 12;
constexpr int32_t kEditGetRect = 13;
constexpr int32_t kEditOpen = 14;
constexpr int32_t kEditClose = 15;
constexpr int32_t kGetEffectName = 45;
}  // namespace vstop

// Requests of the plug-in to the host.
namespace vsthost {
constexpr int32_t kVersion = 1;
constexpr int32_t kCurrentId = 2;
}  // namespace vsthost

// The buffer the host hands for a name (effect, parameter). Names are short,
// but plug-ins are known to write past the nominal limits; this leaves room.
constexpr int kVstNameBytes = 256;
