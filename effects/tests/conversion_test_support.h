#pragma once
// Test material and measurements for the speed, pitch and rate conversion
// tests: sines, band-limited noise and speech, an in-memory source, and
// measurements of tones and pitch worked out independently of the code under
// test.

#include <cstdint>
#include <string>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "testkit/memory_source.h"

namespace convtest {

// frames frames of a cosine on each channel, channel c starting at phase c * phaseStep.
std::vector<Sample> sine(int32_t frames, double frequency, int32_t rate, double amplitude, int channels = 1,
                         double phaseStep = 0);
// Noise made of many sines of random phase between low and high Hz, so that
// nothing lies outside that band; RMS about amplitude / 2.
std::vector<double> bandNoise(int32_t frames, double low, double high, int32_t rate, double amplitude,
                              uint32_t seed = 1);
std::vector<Sample> toSamples(const std::vector<double>& values);

// One channel of interleaved samples, as doubles.
std::vector<double> channelOf(const std::vector<Sample>& samples, int channels, int channel);
std::vector<double> slice(const std::vector<double>& values, size_t from, size_t to);

// Frequency from the zero crossings (interpolated) between the first and last one.
double zeroCrossingFrequency(const std::vector<double>& values, int32_t rate);
double rms(const std::vector<double>& values);
// The best fit a cos + b sin at frequency: its amplitude, phase (radians)
// and the RMS of what the fit leaves.
struct ToneFit {
  double amplitude;
  double phase;
  double residual;
};
ToneFit fitTone(const std::vector<double>& values, double frequency, int32_t rate);
double decibels(double ratio);
// RMS of the differences of neighbouring values against the RMS of the
// values: rises with the share of high frequencies.
double brightness(const std::vector<double>& values);
// Median fundamental frequency of the voiced 40 ms blocks (normalised
// autocorrelation above 0.8 between 70 and 400 Hz); 0 when none is voiced.
double medianPitch(const std::vector<double>& values, int32_t rate);

// Frames of a source read from its current position.
std::vector<Sample> readFrames(SampleSource& source, int32_t frames);

using testkit::MemorySource;
SampleSourceRef memorySource(std::vector<Sample> samples, int channels, int32_t rate);

// Spoken English from espeak-ng, loaded into a buffer (mono, the tool's
// rate); an empty buffer when the tool is missing.
SoundBuffer speech(const std::string& folder);

// Runs sox on a headerless 32-bit file of values (scaled so that 1.0 is a
// quarter of the 32-bit range) with the given effect arguments and returns
// the output values, channel-interleaved. Empty when sox failed.
std::vector<double> throughSox(const std::string& folder, const std::vector<double>& values, int channels,
                               int32_t rate, const std::string& outputOptions, const std::string& effects);

}  // namespace convtest
