#pragma once
// What the test gain plug-in records of the host's requests and blocks.

#include <cstdint>

constexpr int kGainLogCalls = 256;
constexpr int kGainLogBlocks = 64;

struct GainPluginCall {
  int32_t opcode;
  int32_t index;
  int64_t value;
  float option;
};

struct GainPluginBlock {
  int32_t frames;
  float firstInput;  // input 0's first sample as the plug-in got it
};

struct GainPluginLog {
  int32_t created;
  int32_t closed;
  int32_t hostVersion;
  int32_t callCount;
  GainPluginCall calls[kGainLogCalls];
  int32_t blockCount;
  GainPluginBlock blocks[kGainLogBlocks];
};

using GainPluginLogFunction = GainPluginLog* (*)();
