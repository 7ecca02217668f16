#pragma once
// What the noise reduction and click repair commands offer and accept apart
// from any window: their presets, the checks their dialogs make on OK, and
// the checks on the selection or the noise sample that refuse a command
// before anything changes, with the messages they give.

#include <optional>
#include <span>

#include "core/sound_buffer.h"
#include "editor/model/effect_descriptor.h"
#include "effects/click_repair.h"
#include "effects/noise_reduction.h"

std::span<const EffectPreset> noiseGatePresets();
std::span<const EffectPreset> autoSpectralSubtractionPresets();

// Null when accepted, otherwise the message (captioned "Invalid value") while
// the dialog stays open. An empty value is text that is no whole number.
const char* noiseGateLevelProblem(std::optional<int> decibels);
const char* silenceProportionProblem(std::optional<int> percent);
const char* maxClickLengthProblem(std::optional<int> microseconds);

// A refusal before the command changes anything: the message and caption,
// or nothing when the command may go on.
struct Refusal {
  const char* message;
  const char* caption;
};
// Grabbing a noise sample from `frames` frames at `sampleRate`.
std::optional<Refusal> grabNoiseSampleRefusal(int32_t frames, int32_t sampleRate);
// Applying the kept sample (null when none was grabbed) to a sound.
std::optional<Refusal> noiseSampleRefusal(const NoiseSample* sample, const SoundBuffer& sound);
// Manual repair of `frames` frames at `sampleRate`.
std::optional<Refusal> manualClickRepairRefusal(int32_t frames, int32_t sampleRate);
