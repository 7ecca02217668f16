// pcm_compare REFERENCE.raw DECODED.raw CHANNELS MAX_LAG MIN_SNR_DB
// Compares two files of 16-bit little-endian interleaved samples: finds the
// delay (0..MAX_LAG frames, decoded behind the reference) at which they
// match best, prints it with the signal-to-noise ratio over the common part
// and exits 0 when that ratio reaches MIN_SNR_DB and the decoded sound
// covers at least 95% of the reference.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<int16_t> readSamples(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return samples;
}

struct Match {
  double signal = 0;
  double noise = 0;
  size_t frames = 0;
};

// Compares reference frames [first, first + count) with the decoded ones
// lag frames later, as far as both reach.
Match compareAt(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded,
                int channels, size_t lag, size_t first = 0, size_t count = SIZE_MAX) {
  Match match;
  const size_t referenceFrames = reference.size() / channels;
  const size_t decodedFrames = decoded.size() / channels;
  if (decodedFrames <= lag + first || referenceFrames <= first) return match;
  const size_t end = std::min({referenceFrames, decodedFrames - lag, first + std::min(count, referenceFrames)});
  match.frames = end - first;
  for (size_t f = first; f < end; ++f)
    for (int c = 0; c < channels; ++c) {
      const double want = reference[f * channels + c];
      const double got = decoded[(f + lag) * channels + c];
      match.signal += want * want;
      match.noise += (want - got) * (want - got);
    }
  return match;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: pcm_compare REFERENCE DECODED CHANNELS MAX_LAG MIN_SNR_DB\n");
    return 2;
  }
  const std::vector<int16_t> reference = readSamples(argv[1]);
  const std::vector<int16_t> decoded = readSamples(argv[2]);
  const int channels = std::atoi(argv[3]);
  const size_t maxLag = std::strtoul(argv[4], nullptr, 10);
  const double minSnr = std::atof(argv[5]);
  if (channels < 1 || reference.empty()) {
    std::fprintf(stderr, "nothing to compare\n");
    return 2;
  }

  // The delay is found on a stretch after the codec's start-up, then the
  // whole sound is compared at that delay.
  const size_t referenceFrames = reference.size() / channels;
  const size_t probeFirst = std::min<size_t>(4096, referenceFrames / 4);
  const size_t probeFrames = 8192;
  size_t bestLag = 0;
  double bestRatio = -1;
  for (size_t lag = 0; lag <= maxLag; ++lag) {
    const Match match = compareAt(reference, decoded, channels, lag, probeFirst, probeFrames);
    if (match.frames == 0) break;
    const double ratio = match.noise / std::max(match.signal, 1.0);
    if (bestRatio < 0 || ratio < bestRatio) {
      bestRatio = ratio;
      bestLag = lag;
    }
  }
  const Match best = compareAt(reference, decoded, channels, bestLag);
  const double snr = best.noise == 0 ? 999.0 : 10 * std::log10(best.signal / best.noise);
  const bool covered = best.frames * 100 >= referenceFrames * 95;
  std::printf("delay %zu frames, SNR %.1f dB over %zu of %zu frames\n", bestLag, snr,
              best.frames, referenceFrames);
  if (!covered) std::printf("the decoded sound is too short\n");
  std::fflush(stdout);
  return covered && snr >= minSnr ? 0 : 1;
}
