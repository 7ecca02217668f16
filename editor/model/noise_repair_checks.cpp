#include "editor/model/noise_repair_checks.h"

namespace {

constexpr EffectPreset kNoiseGatePresets[] = {
    {"Remove Hum and Hiss", {-20}},
};

constexpr EffectPreset kAutoSpectralSubtractionPresets[] = {
    {"Apply to Voice", {20}},
    {"Apply to Music", {10}},
};

constexpr const char* kNoiseSampleCaption = "Manual Noise Reduction Error";

}  // namespace

std::span<const EffectPreset> noiseGatePresets() { return kNoiseGatePresets; }
std::span<const EffectPreset> autoSpectralSubtractionPresets() { return kAutoSpectralSubtractionPresets; }

const char* noiseGateLevelProblem(std::optional<int> decibels) {
  if (!decibels || !kNoiseGateLevelValue.accepts(*decibels))
    return "Noise Gate Level must be a whole number of dB from -127 to 127. Please try again.";
  return nullptr;
}

const char* silenceProportionProblem(std::optional<int> percent) {
  if (!percent || !kSsNoiseThresholdValue.accepts(*percent))
    return "Silence to Audio Proportion must be a whole number of percent from 1 to 99. Please try again.";
  return nullptr;
}

const char* maxClickLengthProblem(std::optional<int> microseconds) {
  if (!microseconds || !kMaxClickLengthValue.accepts(*microseconds))
    return "Maximum Click Length must be a whole number of microseconds from 1 to 1000000. Please try again.";
  return nullptr;
}

std::optional<Refusal> grabNoiseSampleRefusal(int32_t frames, int32_t sampleRate) {
  if (frames <= 0)
    return Refusal{"Please select an area of your audio that holds only the noise you want to remove.",
                   kNoiseSampleCaption};
  if (noiseSampleTooLong(frames, sampleRate))
    return Refusal{"You cannot sample an area of your audio longer than 8 seconds. Please select a shorter area.",
                   kNoiseSampleCaption};
  return std::nullopt;
}

std::optional<Refusal> noiseSampleRefusal(const NoiseSample* sample, const SoundBuffer& sound) {
  if (!sample)
    return Refusal{"There is no noise sample yet. Please select an area that holds only the noise and choose "
                   "Grab Noise Sample from Selected Area first.",
                   kNoiseSampleCaption};
  if (!noiseSampleFits(*sample, sound))
    return Refusal{"The noise sample you took is not compatible with the selection you are attempting to apply it "
                   "to.",
                   kNoiseSampleCaption};
  return std::nullopt;
}

std::optional<Refusal> manualClickRepairRefusal(int32_t frames, int32_t sampleRate) {
  if (manualRepairAreaTooLarge(frames, sampleRate))
    return Refusal{"Razavo cannot do a manual reduction of an area this size. Please select a smaller area.",
                   "Razavo"};
  return std::nullopt;
}
