// The batch commands by index. Each names the effect descriptor it runs and
// the fields of its parameter block: their width, their signedness, the
// stored value whose key, default and range they share, and the slot of the
// descriptor's values they fill (blocks and descriptors order some values
// differently, as Reverb does).

#include "editor/model/batch_commands.h"

#include <cstdio>
#include <span>

#include "editor/command_ids.h"
#include "effects/amplitude_effects.h"
#include "effects/delay_filter_effects.h"
#include "effects/edit_operations.h"
#include "effects/noise_reduction.h"
#include "effects/speed_pitch.h"

namespace {

// Values only batch commands keep; the menu commands ask for them each time.
// Silence of 0 ms inserts nothing; the edit dialog asks for at least 1.
constexpr EffectParameter kSilenceTimesValue{kEffectValuesSection, "SilenceTimes", 0, 0, 86400000, kInt32Low,
                                             kInt32High};
constexpr EffectParameter kConvertSampleRateValue{kEffectValuesSection, "ConvertSampleRate", 44100, kMinConvertRate,
                                                  kMaxConvertRate, kInt32Low, kInt32High};
constexpr EffectParameter kConvertChannelValue{kEffectValuesSection, "ConvertChannel", 1, 1, 2, kInt32Low,
                                               kInt32High};

struct BatchField {
  uint8_t bytes;
  bool isSigned;
  const EffectParameter* value;
  int slot;  // in the descriptor's values
};

enum class BatchKind { Effect, SilenceAtStart, SilenceAtEnd, Equalizer, Envelope, SampleRate, Channels };

struct BatchCommandInfo {
  const char* name;
  BatchKind kind;
  int effectCommand;
  std::span<const BatchField> fields;
  // printf pattern over the fields' values in block order; null for none.
  const char* description;
};

constexpr BatchField kSilenceFields[] = {{4, true, &kSilenceTimesValue, 0}};
constexpr BatchField kAmplifyFields[] = {{2, true, &kAmplifyGainValue, 0}};
constexpr BatchField kNormalizeFields[] = {{2, true, &kNormalizePeakLevelValue, 0}};
constexpr BatchField kHighPassFields[] = {{4, true, &kLowCutFreqValue, 0}};
constexpr BatchField kEchoFields[] = {{4, true, &kEchoTimeValue, 0}, {2, true, &kEchoGainValue, 1}};
constexpr BatchField kReverbFields[] = {{4, true, &kReverbTimeValue, 1}, {2, true, &kReverbLevelValue, 0}};
constexpr BatchField kSpectralFields[] = {{1, false, &kSsNoiseThresholdValue, 0}};
constexpr BatchField kGateFields[] = {{1, true, &kNoiseGateLevelValue, 0}};
constexpr BatchField kSpeedPitchFields[] = {{2, true, &kSpSpeedPitchValue, 0}};
constexpr BatchField kSpeedFields[] = {{2, true, &kConstPitchSpeedValue, 0}};
constexpr BatchField kPitchFields[] = {{2, true, &kConstSpeedPitchValue, 0}};
// The ratio's byte is last in the block; a ratio past the list is not refused
// but skips the command, so it is checked apart from the others.
constexpr BatchField kCompressorFields[] = {
    {1, true, &kCompressorThresholdValue, 0}, {1, true, &kCompressorLimitValue, 2}, {1, false, &kCompressorRatioValue, 1}};
constexpr BatchField kRateFields[] = {{4, true, &kConvertSampleRateValue, 0}};
constexpr BatchField kChannelFields[] = {{1, false, &kConvertChannelValue, 0}};
constexpr BatchField kPanFields[] = {{4, true, &kStereoPanValue, 0}};

using K = BatchKind;
const BatchCommandInfo kCommands[kBatchCommandCount] = {
    {"Auto Trim", K::Effect, cmd::AutoTrim, {}, nullptr},
    {"Insert Silence At The Start", K::SilenceAtStart, 0, kSilenceFields, "Silence Time (ms) = %d"},
    {"Insert Silence At The End", K::SilenceAtEnd, 0, kSilenceFields, "Silence Time (ms) = %d"},
    {"Amplify", K::Effect, cmd::Amplify, kAmplifyFields, "Amplify Gain (%%) = %d"},
    {"Normalize", K::Effect, cmd::Normalize, kNormalizeFields, "Normalize Peak Level (%%) = %d"},
    {"High-Pass Filter", K::Effect, cmd::HighPass, kHighPassFields, "Frequency (Hz) = %d"},
    {"Equalizer", K::Equalizer, cmd::Equalizer, {}, nullptr},
    {"Echo", K::Effect, cmd::Echo, kEchoFields, "Echo Time (ms) = %d, Echo Gain (%%) = %d"},
    {"Reverb", K::Effect, cmd::Reverb, kReverbFields, "Reverb Time (ms) = %d, Reverb Level (%%) = %d"},
    {"Envelope", K::Envelope, cmd::Envelope, {}, nullptr},
    {"Automatic Gain Control", K::Effect, cmd::AutoGainControl, {}, nullptr},
    {"Noise Reduction (Auto Spectral Subtraction)", K::Effect, cmd::AutoSpectralSubtraction, kSpectralFields,
     "Threshold %d"},
    {"Noise Reduction (Multi-band Noise Gating)", K::Effect, cmd::NoiseGating, kGateFields,
     "Noise Gate Level (dB) = %d"},
    {"Speed and Pitch Change", K::Effect, cmd::SpeedAndPitch, kSpeedPitchFields, "Speed/Pitch Adjust (%%) = %d"},
    {"Speed Change", K::Effect, cmd::SpeedChange, kSpeedFields, "Speed Adjust (%%) = %d"},
    {"Pitch Change", K::Effect, cmd::PitchChange, kPitchFields, "Pitch Adjust (%%) = %d"},
    {"Dynamic Range Compressor", K::Effect, cmd::Compressor, kCompressorFields, nullptr},
    {"Convert Sample Rate", K::SampleRate, cmd::ConvertSampleRate, kRateFields, "Convert Sample Rate = %d"},
    {"Convert Channel (Mono <-> Stereo)", K::Channels, 0, kChannelFields, "Convert Channel = %d"},
    {"Stereo Pan", K::Effect, cmd::StereoPan, kPanFields, "Stereo Pan = %d%%"},
    {"Reduce Vocals", K::Effect, cmd::ReduceVocals, {}, nullptr},
};

const BatchCommandInfo* infoOf(uint32_t index) { return index < kBatchCommandCount ? &kCommands[index] : nullptr; }

bool usesCurve(const BatchCommandInfo& info) { return info.kind == K::Equalizer || info.kind == K::Envelope; }

size_t fieldBytes(const BatchCommandInfo& info) {
  size_t bytes = 0;
  for (const BatchField& field : info.fields) bytes += field.bytes;
  return bytes;
}

int32_t readField(const uint8_t* bytes, const BatchField& field) {
  uint32_t value = 0;
  for (int i = field.bytes - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  if (!field.isSigned || field.bytes == 4) return static_cast<int32_t>(value);
  const uint32_t signBit = 1u << (field.bytes * 8 - 1);
  return static_cast<int32_t>(value ^ signBit) - static_cast<int32_t>(signBit);
}

void writeField(std::vector<uint8_t>& bytes, const BatchField& field, int32_t value) {
  const auto raw = static_cast<uint32_t>(value);
  for (int i = 0; i < field.bytes; ++i) bytes.push_back(static_cast<uint8_t>(raw >> (8 * i)));
}

// The descriptor of an effect the command runs, or null (Insert Silence,
// Convert Channel).
const EffectDescriptor* descriptorOf(const BatchCommandInfo& info) {
  return info.effectCommand ? findEffectDescriptor(info.effectCommand) : nullptr;
}

std::string textOf(const char* pattern, const std::vector<int32_t>& numbers) {
  char text[160];
  const int a = numbers.size() > 0 ? numbers[0] : 0, b = numbers.size() > 1 ? numbers[1] : 0;
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

std::vector<int32_t> blockOrderValues(const BatchCommandInfo& info, const BatchValues& values) {
  std::vector<int32_t> numbers;
  for (const BatchField& field : info.fields) numbers.push_back(values.values[field.slot]);
  return numbers;
}

bool ratioInList(int32_t ratio) { return ratio >= 0 && ratio < kCompressorRatioCount; }

}  // namespace

const char* batchCommandName(uint32_t index) {
  const BatchCommandInfo* info = infoOf(index);
  return info ? info->name : "";
}

size_t batchParameterSize(uint32_t index) {
  const BatchCommandInfo* info = infoOf(index);
  if (!info) return 0;
  return usesCurve(*info) ? kBatchCurveBytes : fieldBytes(*info);
}

int batchEffectCommand(uint32_t index) {
  const BatchCommandInfo* info = infoOf(index);
  return info ? info->effectCommand : 0;
}

bool batchCommandHasSettings(uint32_t index) { return batchParameterSize(index) > 0; }

bool batchCommandUsesCurve(uint32_t index) {
  const BatchCommandInfo* info = infoOf(index);
  return info && usesCurve(*info);
}

BatchValues resolveBatchValues(const BatchCommand& command, const BatchDefaults& defaults) {
  BatchValues resolved;
  const BatchCommandInfo* info = infoOf(command.index);
  if (!info) return resolved;
  const size_t size = batchParameterSize(command.index);
  const bool whole = size > 0 && command.parameters.size() >= size;
  if (usesCurve(*info)) {
    if (whole)
      resolved.curve = envelopeFromBytes({command.parameters.begin(), command.parameters.begin() + size});
    else
      resolved.curve = info->kind == K::Equalizer ? loadEqualizerFile(defaults.dataFolder)
                                                  : loadEnvelopeFile(defaults.dataFolder);
    return resolved;
  }
  if (const EffectDescriptor* effect = descriptorOf(*info)) resolved.values = readEffectValues(defaults.store, *effect);
  size_t offset = 0;
  for (const BatchField& field : info->fields) {
    resolved.values[field.slot] =
        whole ? readField(command.parameters.data() + offset, field) : readEffectParameter(defaults.store, *field.value);
    offset += field.bytes;
  }
  return resolved;
}

std::vector<uint8_t> batchParametersOf(uint32_t index, const BatchValues& values) {
  const BatchCommandInfo* info = infoOf(index);
  if (!info) return {};
  if (usesCurve(*info)) {
    std::vector<uint8_t> bytes = envelopeBytes(values.curve);
    bytes.resize(kBatchCurveBytes, 0);
    return bytes;
  }
  std::vector<uint8_t> bytes;
  for (const BatchField& field : info->fields) writeField(bytes, field, values.values[field.slot]);
  return bytes;
}

BatchCommand newBatchCommand(uint32_t index, const BatchDefaults& defaults) {
  BatchCommand command{index, {}};
  command.parameters = batchParametersOf(index, resolveBatchValues(command, defaults));
  return command;
}

std::string describeBatchCommand(const BatchCommand& command, const BatchDefaults& defaults) {
  const BatchCommandInfo* info = infoOf(command.index);
  if (!info) return "";
  if (usesCurve(*info)) return "Click on Settings to view or change.";
  const BatchValues values = resolveBatchValues(command, defaults);
  if (info->effectCommand == cmd::Compressor) {
    const int32_t ratio = values.values[1];
    char text[160];
    std::snprintf(text, sizeof text, "Threshold (db) = %d, Ratio = %s, Limit (db) = %d", values.values[0],
                  ratioInList(ratio) ? kCompressorRatios[ratio].name : "(none: skipped)", values.values[2]);
    return text;
  }
  return info->description ? textOf(info->description, blockOrderValues(*info, values)) : "";
}

std::optional<std::string> batchCommandProblem(const BatchCommand& command, const BatchDefaults& defaults) {
  const BatchCommandInfo* info = infoOf(command.index);
  if (!info) return std::string("Unknown command ") + std::to_string(command.index) + ".";
  if (usesCurve(*info)) return std::nullopt;  // every curve read is kept to 64 rising points
  const BatchValues values = resolveBatchValues(command, defaults);
  for (const BatchField& field : info->fields) {
    const int32_t value = values.values[field.slot];
    if (field.value == &kCompressorRatioValue || field.value->accepts(value)) continue;
    return std::string(info->name) + ": " + field.value->key + " = " + std::to_string(value) + " is outside " +
           std::to_string(field.value->minimum) + " to " + std::to_string(field.value->maximum) + ".";
  }
  return std::nullopt;
}

BatchCommandOutcome runBatchCommand(SoundBuffer& sound, const BatchCommand& command, const BatchDefaults& defaults,
                                    ProgressCallback* progress) {
  const BatchCommandInfo* info = infoOf(command.index);
  if (!info || batchCommandProblem(command, defaults)) return BatchCommandOutcome::Refused;
  const BatchValues values = resolveBatchValues(command, defaults);
  const Selection whole{0, sound.totalFrames(), 0};
  EditResult result;
  switch (info->kind) {
    case K::SilenceAtStart:
    case K::SilenceAtEnd:
      if (values.values[0] == 0) return BatchCommandOutcome::Skipped;
      result = insertSilence(sound, whole, info->kind == K::SilenceAtStart ? InsertPlace::Begin : InsertPlace::End,
                             values.values[0]);
      break;
    case K::Channels: {
      const EffectDescriptor* effect =
          findEffectDescriptor(values.values[0] == 1 ? cmd::ConvertToMono : cmd::ConvertToStereo);
      result = effect->run(sound, EffectRequest{}, progress);
      break;
    }
    default: {
      const EffectDescriptor* effect = descriptorOf(*info);
      if (!effect) return BatchCommandOutcome::Failed;
      if (effect->command == cmd::Compressor && !ratioInList(values.values[1])) return BatchCommandOutcome::Skipped;
      // Panning and vocal removal mean nothing on one channel (the latter
      // would leave silence); the menu asks for stereo first, a batch skips.
      if (effect->needsStereo && sound.channels() != 2) return BatchCommandOutcome::Skipped;
      EffectRequest request;
      request.start = 0;
      request.end = sound.totalFrames();
      request.values = values.values;
      request.curve = values.curve;
      request.sampleRate = values.values[0];
      result = effect->run(sound, request, progress);
    }
  }
  switch (result.status) {
    case EditStatus::Done: return BatchCommandOutcome::Done;
    case EditStatus::NothingToDo: return BatchCommandOutcome::Skipped;
    case EditStatus::Cancelled: return BatchCommandOutcome::Cancelled;
    default: return BatchCommandOutcome::Failed;
  }
}
