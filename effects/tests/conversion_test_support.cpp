#include "effects/tests/conversion_test_support.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "formats/formats.h"
#include "testkit/testkit.h"

namespace convtest {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Values handed to sox are scaled so that 1.0 is 2^29, a quarter of the range.
constexpr double kSoxScale = 536870912.0;

}  // namespace

std::vector<Sample> sine(int32_t frames, double frequency, int32_t rate, double amplitude, int channels,
                         double phaseStep) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * channels);
  for (int32_t f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      samples[static_cast<size_t>(f) * channels + c] =
          static_cast<Sample>(std::lround(amplitude * std::cos(kTwoPi * frequency * f / rate + c * phaseStep)));
  return samples;
}

std::vector<double> bandNoise(int32_t frames, double low, double high, int32_t rate, double amplitude,
                              uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr int kPartials = 200;
  std::vector<double> values(frames, 0.0);
  const double each = amplitude * std::sqrt(2.0 / kPartials) / 2;
  for (int p = 0; p < kPartials; ++p) {
    const double frequency = low + (high - low) * unit(random);
    const double phase = kTwoPi * unit(random);
    const double step = kTwoPi * frequency / rate;
    for (int32_t f = 0; f < frames; ++f) values[f] += each * std::cos(step * f + phase);
  }
  return values;
}

std::vector<Sample> toSamples(const std::vector<double>& values) {
  std::vector<Sample> samples(values.size());
  for (size_t i = 0; i < values.size(); ++i) samples[i] = static_cast<Sample>(std::lround(values[i]));
  return samples;
}

std::vector<double> channelOf(const std::vector<Sample>& samples, int channels, int channel) {
  std::vector<double> values(samples.size() / channels);
  for (size_t f = 0; f < values.size(); ++f) values[f] = samples[f * channels + channel];
  return values;
}

std::vector<double> slice(const std::vector<double>& values, size_t from, size_t to) {
  to = std::min(to, values.size());
  return from < to ? std::vector<double>(values.begin() + from, values.begin() + to) : std::vector<double>{};
}

double zeroCrossingFrequency(const std::vector<double>& values, int32_t rate) {
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = 1; i < values.size(); ++i) {
    if ((values[i - 1] < 0) == (values[i] < 0)) continue;
    const double at = static_cast<double>(i - 1) + values[i - 1] / (values[i - 1] - values[i]);
    if (first < 0) first = at;
    last = at;
    ++crossings;
  }
  if (crossings < 2) return 0;
  return (crossings - 1) / 2.0 / ((last - first) / rate);
}

double rms(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v * v;
  return values.empty() ? 0 : std::sqrt(sum / values.size());
}

ToneFit fitTone(const std::vector<double>& values, double frequency, int32_t rate) {
  double cc = 0, ss = 0, cs = 0, xc = 0, xs = 0;
  const double step = kTwoPi * frequency / rate;
  for (size_t n = 0; n < values.size(); ++n) {
    const double c = std::cos(step * n), s = std::sin(step * n);
    cc += c * c;
    ss += s * s;
    cs += c * s;
    xc += values[n] * c;
    xs += values[n] * s;
  }
  const double det = cc * ss - cs * cs;
  const double a = (xc * ss - xs * cs) / det, b = (xs * cc - xc * cs) / det;
  double residual = 0;
  for (size_t n = 0; n < values.size(); ++n) {
    const double e = values[n] - a * std::cos(step * n) - b * std::sin(step * n);
    residual += e * e;
  }
  return {std::hypot(a, b), std::atan2(-b, a), std::sqrt(residual / values.size())};
}

double decibels(double ratio) { return 20 * std::log10(std::max(ratio, 1e-30)); }

double brightness(const std::vector<double>& values) {
  std::vector<double> steps(values.size() > 1 ? values.size() - 1 : 0);
  for (size_t i = 0; i < steps.size(); ++i) steps[i] = values[i + 1] - values[i];
  return rms(steps) / std::max(rms(values), 1e-30);
}

double medianPitch(const std::vector<double>& values, int32_t rate) {
  const auto block = static_cast<size_t>(rate / 25), hop = block / 2;
  const auto shortest = static_cast<size_t>(rate / 400), longest = static_cast<size_t>(rate / 70);
  double loudest = 0;
  for (size_t start = 0; start + block + longest <= values.size(); start += hop)
    loudest = std::max(loudest, rms(slice(values, start, start + block)));
  std::vector<double> pitches;
  for (size_t start = 0; start + block + longest <= values.size(); start += hop) {
    if (rms(slice(values, start, start + block)) < loudest * 0.2) continue;
    std::vector<double> correlation(longest + 2, 0.0);
    for (size_t lag = shortest; lag <= longest + 1; ++lag) {
      double xy = 0, xx = 0, yy = 0;
      for (size_t n = 0; n < block; ++n) {
        xy += values[start + n] * values[start + n + lag];
        xx += values[start + n] * values[start + n];
        yy += values[start + n + lag] * values[start + n + lag];
      }
      correlation[lag] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
    }
    const double best = *std::max_element(correlation.begin() + shortest, correlation.begin() + longest + 1);
    if (best < 0.8) continue;
    // The shortest lag that nearly reaches the best, then its local maximum
    // (so that a period of two cycles is not taken for the period).
    size_t lag = shortest;
    while (correlation[lag] < 0.9 * best) ++lag;
    while (lag < longest && correlation[lag + 1] > correlation[lag]) ++lag;
    const double a = correlation[lag - 1], b = correlation[lag], c = correlation[lag + 1];
    const double shift = (a - 2 * b + c) != 0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0;
    pitches.push_back(rate / (lag + shift));
  }
  if (pitches.empty()) return 0;
  std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
  return pitches[pitches.size() / 2];
}

std::vector<Sample> readFrames(SampleSource& source, int32_t frames) {
  std::vector<Sample> samples(static_cast<size_t>(frames) * source.channels());
  source.read(samples.data(), frames);
  return samples;
}

SampleSourceRef memorySource(std::vector<Sample> samples, int channels, int32_t rate) {
  return makeRef<MemorySource>(std::move(samples), channels, rate);
}

SoundBuffer speech(const std::string& folder) {
  if (!testkit::needTool("espeak-ng")) return {};
  const std::string path = folder + "/speech.wav";
  const std::string text =
      "Speed and pitch are two different things. A slower voice should still sound like the same person, "
      "and a higher voice should take just as long.";
  if (testkit::runTool("espeak-ng -w '" + path + "' '" + text + "' >/dev/null 2>&1") != 0) return {};
  OpenedSound opened = openSoundFile(path, FormatContext{});
  if (opened.result != 0) return {};
  SoundBuffer sound;
  {
    SampleSinkRef writer = sound.openWriter(opened.source->sampleRate(), opened.source->channels());
    if (copySourceToSink(*opened.source, *writer, opened.source->length()) != JobResult::Done) return {};
  }
  return sound;
}

std::vector<double> throughSox(const std::string& folder, const std::vector<double>& values, int channels,
                               int32_t rate, const std::string& outputOptions, const std::string& effects) {
  std::vector<uint8_t> bytes;
  for (double v : values) testkit::putLe32(bytes, static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * kSoxScale))));
  const std::string input = folder + "/sox-in.raw", output = folder + "/sox-out.raw";
  if (!testkit::writeAll(input, bytes)) return {};
  const std::string raw = " -t raw -e signed -b 32 -c " + std::to_string(channels) + " ";
  const std::string command = "sox -D" + raw + "-r " + std::to_string(rate) + " '" + input + "'" + raw +
                              outputOptions + " '" + output + "' " + effects + " 2>/dev/null";
  if (testkit::runTool(command) != 0) return {};
  std::vector<double> result;
  for (int32_t v : testkit::readPcm32(output)) result.push_back(v / kSoxScale);
  return result;
}

}  // namespace convtest
