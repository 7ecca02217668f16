// Noise reduction and click repair measured on speech, against sox in the
// same run.
//
//   noise_reduction_bench <scratch folder>
//
// 1. Quality: speech from espeak-ng (44,100 Hz) after three seconds of noise
//    alone, with white noise, mains hum (50 Hz and its odd harmonics) or both
//    added at 10 dB signal-to-noise ratio. Each method cleans the whole file;
//    the output's SNR against the clean speech is measured over the speech.
//    The noise sample and sox's profile ("sox noiseprof") are both taken from
//    the three seconds of noise alone.
// 2. Clicks: the same speech with 200 clicks of 1 to 19 frames, of two
//    shapes; how many the
//    automatic restoration repairs, what it repairs that was no click, and
//    the error left against the clean speech.
// 3. Speed: ten minutes of stereo (sox's pink noise under a tone), noise
//    reduction from a noise sample against "sox noisered" with a profile of
//    the first two seconds, best of three after a warm-up.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/core.h"
#include "effects/click_repair.h"
#include "effects/noise_reduction.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr double kLeadSeconds = 3.0;
constexpr double kInputSnrDb = 10.0;
constexpr int kClickCount = 200;

std::vector<Sample> samplesOf(const SoundBuffer& sound) {
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  SampleSourceRef reader = sound.openReader();
  reader->read(samples.data(), sound.totalFrames());
  return samples;
}

SoundBuffer bufferOf(const std::vector<Sample>& samples, int channels) {
  SoundBuffer sound;
  {
    SampleSinkRef writer = sound.openWriter(kRate, channels);
    writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
    writer->close();
  }
  return sound;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

double energy(const std::vector<Sample>& samples, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return sum;
}

double snrDb(const std::vector<Sample>& clean, const std::vector<Sample>& output, size_t from) {
  double error = 0;
  for (size_t i = from; i < clean.size() && i < output.size(); ++i) {
    const double d = static_cast<double>(output[i]) - clean[i];
    error += d * d;
  }
  return 10 * std::log10(energy(clean, from, clean.size()) / std::max(error, 1.0));
}

enum class NoiseKind { White, Hum, Both };
const char* nameOf(NoiseKind kind) { return kind == NoiseKind::White ? "white" : kind == NoiseKind::Hum ? "hum" : "white+hum"; }

std::vector<double> makeNoise(NoiseKind kind, size_t frames, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::vector<double> noise(frames);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double hum = 0;
    for (int h = 1; h <= 9; h += 2) hum += std::sin(2 * M_PI * 50 * h * t + h) / h;
    const double white = gauss(random);
    noise[i] = kind == NoiseKind::White ? white : kind == NoiseKind::Hum ? hum : white + 1.4 * hum;
  }
  return noise;
}

struct Material {
  std::vector<Sample> clean;  // lead of silence, then the speech
  std::vector<Sample> noisy;
  size_t speechStart;
};

Material mix(const std::vector<Sample>& speech, NoiseKind kind) {
  Material m;
  m.speechStart = static_cast<size_t>(kLeadSeconds * kRate);
  m.clean.assign(m.speechStart, 0);
  m.clean.insert(m.clean.end(), speech.begin(), speech.end());
  const std::vector<double> noise = makeNoise(kind, m.clean.size(), 7);
  double noiseEnergy = 0;
  for (size_t i = m.speechStart; i < noise.size(); ++i) noiseEnergy += noise[i] * noise[i];
  const double scale = std::sqrt(energy(m.clean, m.speechStart, m.clean.size()) / noiseEnergy / std::pow(10.0, kInputSnrDb / 10));
  m.noisy.resize(m.clean.size());
  for (size_t i = 0; i < m.clean.size(); ++i) m.noisy[i] = m.clean[i] + static_cast<Sample>(std::lround(noise[i] * scale));
  return m;
}

std::vector<Sample> loadSamples(const std::string& path) {
  SoundBuffer sound;
  if (loadSoundFile(path, FormatContext{}, sound) != JobResult::Done) return {};
  return samplesOf(sound);
}

void qualityRow(const std::string& scratch, const std::vector<Sample>& speech, NoiseKind kind) {
  const Material m = mix(speech, kind);
  const int32_t lead = static_cast<int32_t>(m.speechStart);
  const double input = snrDb(m.clean, m.noisy, m.speechStart);
  SoundBuffer noisy = bufferOf(m.noisy, 1);
  const int32_t frames = noisy.totalFrames();

  SoundBuffer gated = noisy;
  noiseGate(gated, 0, frames, {kNoiseGateLevelValue.defaultValue});
  SoundBuffer gatedHum = noisy;
  noiseGate(gatedHum, 0, frames, {-20});
  SoundBuffer automatic = noisy;
  autoSpectralSubtraction(automatic, 0, frames, {kSsNoiseThresholdValue.defaultValue});
  NoiseSample sample;
  grabNoiseSample(noisy, 0, lead, sample);
  SoundBuffer fromSample = noisy;
  noiseSampleSubtraction(fromSample, 0, frames, sample);

  const std::string in = sys::joinPath(scratch, "noisy.wav"), profile = sys::joinPath(scratch, "noise.prof");
  const std::string out = sys::joinPath(scratch, "sox-out.wav");
  saveSoundFile(noisy, in, FormatContext{});
  run("sox '" + in + "' -n trim 0 " + std::to_string(kLeadSeconds) + " noiseprof '" + profile + "'");
  double sox[2] = {};
  const char* amounts[2] = {"0.21", "0.5"};
  for (int i = 0; i < 2; ++i) {
    run("sox '" + in + "' '" + out + "' noisered '" + profile + "' " + amounts[i]);
    sox[i] = snrDb(m.clean, loadSamples(out), m.speechStart);
  }
  std::printf("%-10s in %5.2f dB | gate -30 %5.2f, gate -20 %5.2f | auto 30%% %5.2f | sample %5.2f | sox 0.21 %5.2f, sox 0.5 %5.2f\n",
              nameOf(kind), input, snrDb(m.clean, samplesOf(gated), m.speechStart),
              snrDb(m.clean, samplesOf(gatedHum), m.speechStart), snrDb(m.clean, samplesOf(automatic), m.speechStart),
              snrDb(m.clean, samplesOf(fromSample), m.speechStart), sox[0], sox[1]);
}

// Two kinds of click: a burst swinging both ways and dying away over its
// length (a scratch), and a flat-topped one sagging to half its height (a
// dropout or a digital glitch).
double burst(size_t k, size_t length) { return (k % 2 ? -1.0 : 1.0) * static_cast<double>(length - k) / length; }
double flatTop(size_t k, size_t length) { return 1.0 - 0.5 * static_cast<double>(k) / length; }

void clickRow(const std::vector<Sample>& speech, const char* kind, double (*shape)(size_t, size_t)) {
  std::mt19937 random(11);
  std::vector<Sample> clicked = speech;
  struct Click { size_t first, length; };
  std::vector<Click> clicks;
  const size_t spacing = speech.size() / (kClickCount + 1);
  for (int i = 0; i < kClickCount; ++i) {
    const size_t length = 1 + static_cast<size_t>(i % 19);
    const size_t first = spacing * (i + 1) + random() % (spacing / 2);
    const double height = (0.3 + 0.5 * (random() % 1000) / 1000.0) * kSampleFullScale * ((random() & 1) ? 1 : -1);
    for (size_t k = 0; k < length && first + k < clicked.size(); ++k)
      clicked[first + k] = clampToInt32(clicked[first + k] + std::lround(height * shape(k, length)));
    clicks.push_back({first, length});
  }
  SoundBuffer sound = bufferOf(clicked, 1);
  autoClickRepair(sound, 0, sound.totalFrames(), {kClickSensitivityValue.defaultValue, kMaxClickLengthOffered});
  const std::vector<Sample> repaired = samplesOf(sound);
  // The same scan again, for where it drew its lines.
  ClickDetector detector(kRate, 1, static_cast<int64_t>(clicked.size()),
                         {kClickSensitivityValue.defaultValue, kMaxClickLengthOffered});
  detector.push(clicked.data(), static_cast<int32_t>(clicked.size()));
  detector.finish();
  const std::vector<ClickRepair>& repairs = detector.repairs();
  auto overlaps = [](const ClickRepair& r, const Click& c) {
    return r.first < static_cast<int64_t>(c.first + c.length) && r.last >= static_cast<int64_t>(c.first);
  };
  int found = 0, whole = 0;
  for (const Click& click : clicks) {
    size_t covered = 0;
    bool hit = false;
    for (const ClickRepair& r : repairs) hit = hit || overlaps(r, click);
    for (size_t k = 0; k < click.length; ++k) covered += repaired[click.first + k] != clicked[click.first + k];
    found += hit;
    whole += covered == click.length;
  }
  size_t stray = 0;
  for (const ClickRepair& r : repairs) {
    bool hit = false;
    for (const Click& click : clicks) hit = hit || overlaps(r, click);
    stray += !hit;
  }
  std::printf("%s clicks of 1-19 frames, sensitivity 50, longest 450 us: %d of %d found, %d repaired over their whole "
              "length; %zu lines drawn, %zu of them away from any click\n",
              kind, found, kClickCount, whole, repairs.size(), stray);
  std::printf("  SNR against the clean speech: %5.2f dB with the clicks, %5.2f dB after repair\n", snrDb(speech, clicked, 0),
              snrDb(speech, repaired, 0));
}

void speedRow(const std::string& scratch) {
  const std::string ten = sys::joinPath(scratch, "ten-minutes.wav"), profile = sys::joinPath(scratch, "ten.prof");
  const std::string out = sys::joinPath(scratch, "ten-sox.wav");
  if (!run("test -f '" + ten + "' || sox -n -r 44100 -c 2 -b 16 '" + ten + "' synth 600 pinknoise sine 440 gain -12"))
    return;
  SoundBuffer sound;
  if (loadSoundFile(ten, FormatContext{}, sound) != JobResult::Done) return;
  NoiseSample sample;
  grabNoiseSample(sound, 0, 2 * kRate, sample);
  const double ours = bestOf(3, [&] {
    SoundBuffer work = sound;
    return noiseSampleSubtraction(work, 0, work.totalFrames(), sample) == JobResult::Done;
  });
  const double oursAuto = bestOf(3, [&] {
    SoundBuffer work = sound;
    return autoSpectralSubtraction(work, 0, work.totalFrames(), {30}) == JobResult::Done;
  });
  const double gate = bestOf(3, [&] {
    SoundBuffer work = sound;
    return noiseGate(work, 0, work.totalFrames(), {-30}) == JobResult::Done;
  });
  run("sox '" + ten + "' -n trim 0 2 noiseprof '" + profile + "'");
  const double sox = bestOf(3, [&] { return run("sox '" + ten + "' '" + out + "' noisered '" + profile + "' 0.21"); });
  std::printf("\nten minutes of stereo, 44,100 Hz:\n");
  std::printf("  noise reduction from a sample %6.2f s | sox noisered %6.2f s | ratio (sox / ours) %.2f\n", ours, sox, sox / ours);
  std::printf("  auto spectral subtraction     %6.2f s | ratio %.2f\n", oursAuto, sox / oursAuto);
  std::printf("  multi-band noise gate         %6.2f s | ratio %.2f\n", gate, sox / gate);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "noise_reduction_bench", nullptr, "noise-blocks");
  if (!start) return 2;
  const std::string raw = sys::joinPath(start->scratch, "speech-raw.wav"), wav = sys::joinPath(start->scratch, "speech.wav");
  const char* text =
      "The quick brown fox jumps over the lazy dog. Noise reduction should leave the voice clear and natural. "
      "She sells sea shells by the sea shore, and the shells she sells are surely sea shells.";
  if (!run(std::string("espeak-ng -w '") + raw + "' \"" + text + "\"") ||
      !run("sox -V1 '" + raw + "' -r 44100 -b 16 '" + wav + "' gain -n -6")) {
    std::fprintf(stderr, "cannot make speech with espeak-ng and sox\n");
    return 1;
  }
  const std::vector<Sample> speech = loadSamples(wav);
  std::printf("speech: %.1f s at %d Hz, noise added at %.0f dB SNR; output SNR against the clean speech:\n",
              static_cast<double>(speech.size()) / kRate, kRate, kInputSnrDb);
  for (NoiseKind kind : {NoiseKind::White, NoiseKind::Hum, NoiseKind::Both}) qualityRow(start->scratch, speech, kind);
  std::printf("\n");
  clickRow(speech, "burst", burst);
  clickRow(speech, "flat-topped", flatTop);
  if (argc > 0 && !std::getenv("NOISE_BENCH_QUALITY_ONLY")) speedRow(start->scratch);
  return 0;
}
