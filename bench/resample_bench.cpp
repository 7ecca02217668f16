// Sample-rate conversion against sox's high-quality rate effect, in the same
// run: the filter's figures measured with sine sweeps (passband ripple,
// images and aliases of tones in the passband, rejection of tones above the
// output's band), then the time to convert a long file.
//
//   resample_bench <scratch folder> <input.wav>
//
// bench/conversion/run.sh makes the input and runs this.

#include <cmath>
#include <numbers>

#include "bench/conversion/conversion_bench_support.h"
#include "effects/resample_source.h"

using namespace convbench;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kAmplitude = 0.5 * kSampleFullScale;
// sox reads and writes 32-bit samples; ours are 2^19 full scale.
constexpr double kSoxScale = 1024.0;

// A sweep: one tone after another, each kToneSeconds long with a gap of
// silence after it, so that every tone can be measured on its own.
constexpr double kToneSeconds = 0.2, kGapSeconds = 0.05, kEdgeSeconds = 0.04;

struct Sweep {
  std::vector<double> frequencies;
  std::vector<Sample> samples;
};

Sweep makeSweep(const std::vector<double>& frequencies, int32_t rate) {
  Sweep sweep{frequencies, {}};
  const auto tone = static_cast<size_t>(kToneSeconds * rate), gap = static_cast<size_t>(kGapSeconds * rate);
  for (double f : frequencies) {
    for (size_t n = 0; n < tone; ++n)
      sweep.samples.push_back(static_cast<Sample>(std::lround(kAmplitude * std::cos(kTwoPi * f * n / rate))));
    sweep.samples.insert(sweep.samples.end(), gap, 0);
  }
  return sweep;
}

struct ToneResult {
  double gainDb, otherDb;  // the tone's level, and everything else, against the input tone
};

// Least-squares fit of the tone (when below the output's Nyquist frequency).
ToneResult measureTone(const std::vector<double>& out, size_t from, size_t to, double frequency, int32_t rate) {
  double cc = 0, ss = 0, cs = 0, xc = 0, xs = 0, total = 0;
  const bool inBand = frequency < rate / 2.0;
  for (size_t n = from; n < to; ++n) {
    const double c = inBand ? std::cos(kTwoPi * frequency * n / rate) : 0, s = inBand ? std::sin(kTwoPi * frequency * n / rate) : 0;
    cc += c * c, ss += s * s, cs += c * s, xc += out[n] * c, xs += out[n] * s;
    total += out[n] * out[n];
  }
  const double reference = kAmplitude * kAmplitude / 2 * (to - from);
  if (!inBand) return {-300, 10 * std::log10(total / reference + 1e-30)};
  const double det = cc * ss - cs * cs;
  const double a = (xc * ss - xs * cs) / det, b = (xs * cc - xc * cs) / det;
  double residual = 0;
  for (size_t n = from; n < to; ++n) {
    const double e = out[n] - a * std::cos(kTwoPi * frequency * n / rate) - b * std::sin(kTwoPi * frequency * n / rate);
    residual += e * e;
  }
  return {20 * std::log10(std::hypot(a, b) / kAmplitude), 10 * std::log10(residual / reference + 1e-30)};
}

std::vector<ToneResult> measureSweep(const Sweep& sweep, const std::vector<double>& out, int32_t inRate, int32_t outRate) {
  std::vector<ToneResult> results;
  const double segment = (kToneSeconds + kGapSeconds) * inRate;
  for (size_t i = 0; i < sweep.frequencies.size(); ++i) {
    const double start = i * segment * outRate / inRate;
    const auto from = static_cast<size_t>(start + kEdgeSeconds * outRate);
    const auto to = std::min(out.size(), static_cast<size_t>(start + (kToneSeconds - kEdgeSeconds) * outRate));
    results.push_back(measureTone(out, from, to, sweep.frequencies[i], outRate));
  }
  return results;
}

std::vector<double> ourConversion(const Sweep& sweep, int32_t inRate, int32_t outRate) {
  ResampleSource source(makeRef<MemorySource>(sweep.samples, inRate), outRate);
  std::vector<Sample> out(static_cast<size_t>(source.length()));
  source.read(out.data(), source.length());
  return {out.begin(), out.end()};
}

std::vector<double> soxConversion(const std::string& scratch, const Sweep& sweep, int32_t inRate, int32_t outRate) {
  const std::string in = scratch + "/sweep-in.raw", out = scratch + "/sweep-out.raw";
  if (FILE* file = std::fopen(in.c_str(), "wb")) {
    for (Sample s : sweep.samples) {
      const auto value = static_cast<int32_t>(s * kSoxScale);
      std::fwrite(&value, sizeof value, 1, file);
    }
    std::fclose(file);
  }
  if (!shell("sox -D -t raw -e signed -b 32 -c 1 -r " + std::to_string(inRate) + " " + quoted(in) +
             " -t raw -e signed -b 32 -r " + std::to_string(outRate) + " " + quoted(out) + " rate -h"))
    return {};
  std::vector<double> values;
  if (FILE* file = std::fopen(out.c_str(), "rb")) {
    int32_t value;
    while (std::fread(&value, sizeof value, 1, file) == 1) values.push_back(value / kSoxScale);
    std::fclose(file);
  }
  return values;
}

struct Figures {
  double ripple = 0, worstOther = -300, stopband = -300;
};

Figures summarise(const std::vector<ToneResult>& pass, const std::vector<ToneResult>& stop) {
  Figures f;
  double low = 1e9, high = -1e9;
  for (const ToneResult& r : pass) {
    low = std::min(low, r.gainDb), high = std::max(high, r.gainDb);
    f.worstOther = std::max(f.worstOther, r.otherDb);
  }
  f.ripple = high - low;
  for (const ToneResult& r : stop) f.stopband = std::max(f.stopband, r.otherDb);
  return f;
}

void reportQuality(const std::string& scratch, int32_t inRate, int32_t outRate) {
  const double lower = std::min(inRate, outRate);
  std::vector<double> passTones, stopTones;
  for (double f = 20; f <= resampling::kPassbandEdge * lower; f *= 1.15) passTones.push_back(f);
  for (double f = 0.5 * lower; f < 0.5 * inRate; f += 0.0061 * lower) stopTones.push_back(f);
  const Sweep pass = makeSweep(passTones, inRate), stop = makeSweep(stopTones, inRate);
  const Figures ours = summarise(measureSweep(pass, ourConversion(pass, inRate, outRate), inRate, outRate),
                                 stop.frequencies.empty() ? std::vector<ToneResult>{}
                                                          : measureSweep(stop, ourConversion(stop, inRate, outRate), inRate, outRate));
  const Figures sox = summarise(measureSweep(pass, soxConversion(scratch, pass, inRate, outRate), inRate, outRate),
                                stop.frequencies.empty()
                                    ? std::vector<ToneResult>{}
                                    : measureSweep(stop, soxConversion(scratch, stop, inRate, outRate), inRate, outRate));
  const size_t stages = resampling::conversionPath(inRate, outRate).size() - 1;
  std::printf("%d -> %d Hz (%zu stage%s), passband 20 .. %.0f Hz, %zu tones", inRate, outRate, stages,
              stages > 1 ? "s" : "", resampling::kPassbandEdge * lower, passTones.size());
  if (!stopTones.empty()) std::printf("; stopband %.0f .. %.0f Hz, %zu tones", 0.5 * lower, 0.5 * inRate, stopTones.size());
  std::printf("\n");
  std::printf("  passband ripple                    ours %8.5f dB   sox %8.5f dB\n", ours.ripple, sox.ripple);
  std::printf("  images and aliases of those tones  ours %8.1f dB   sox %8.1f dB\n", ours.worstOther, sox.worstOther);
  if (!stopTones.empty())
    std::printf("  stopband rejection                 ours %8.1f dB   sox %8.1f dB\n", -ours.stopband, -sox.stopband);
  else
    std::printf("  stopband rejection                 (no input above %.0f Hz; the images are in the line above)\n",
                0.5 * lower);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: resample_bench <scratch folder> <input.wav>\n");
    return 2;
  }
  const std::string scratch = argv[1], input = argv[2];
  std::printf("Filter figures (sine sweeps, tones at half full scale; ours are 20-bit samples, sox's 32-bit)\n");
  for (auto [from, to] : {std::pair{44100, 48000}, std::pair{44100, 8000}}) reportQuality(scratch, from, to);

  {
    OpenedSound opened = openSoundFile(input, FormatContext{});
    if (opened.result != 0) {
      std::fprintf(stderr, "cannot open %s\n", input.c_str());
      return 1;
    }
    std::printf("\nThroughput: %s, %.1f s at %d Hz, %d channels, WAVE in and out\n", input.c_str(),
                opened.source->length() / static_cast<double>(opened.source->sampleRate()), opened.source->sampleRate(),
                opened.source->channels());
  }
  for (int32_t rate : {48000, 8000}) {
    const std::string ours = scratch + "/ours-" + std::to_string(rate) + ".wav";
    const std::string theirs = scratch + "/sox-" + std::to_string(rate) + ".wav";
    const Timing ourTime = bestOf(
        [&] { return convertFile(input, ours, [&](SampleSourceRef s) { return makeResampleSource(s, rate); }); }, false);
    const Timing soxTime = bestOf(
        [&] { return shell("sox " + quoted(input) + " -r " + std::to_string(rate) + " " + quoted(theirs) + " rate -h"); },
        true);
    const std::string what = "44100 -> " + std::to_string(rate) + " Hz";
    printComparison(what.c_str(), ourTime, soxTime, 1.0);
  }
  return 0;
}
