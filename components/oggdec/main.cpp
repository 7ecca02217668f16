// oggdec -o OUTPUT.wav INPUT.ogg: decodes an Ogg Vorbis file into a 16-bit
// WAVE file. A file that is damaged or cut short is refused with exit code 1
// and leaves no output: half a recording must not pass for the whole of it.
#include "ogg_integrity.h"
#include "wave_file_writer.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <vorbis/vorbisfile.h>

namespace {

using components::WaveFileWriter;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Vorbis orders channels by position differently from WAVE; for each WAVE
// channel, the Vorbis channel that feeds it (by channel count, 3 to 8).
constexpr std::array<std::array<int, 8>, 9> kWaveFromVorbis = {{
    {}, {0}, {0, 1}, {0, 2, 1}, {0, 1, 2, 3}, {0, 2, 1, 3, 4},
    {0, 2, 1, 5, 3, 4}, {0, 2, 1, 6, 5, 3, 4}, {0, 2, 1, 7, 5, 6, 3, 4}}};

class VorbisFile {
public:
  ~VorbisFile() {
    if (m_open) ov_clear(&m_file);
  }
  bool open(const char* path) { return m_open = ov_fopen(path, &m_file) == 0; }
  OggVorbis_File* get() { return &m_file; }

private:
  OggVorbis_File m_file{};
  bool m_open = false;
};

int decode(const char* inputPath, const std::string& outputPath) {
  {
    std::unique_ptr<std::FILE, FileCloser> input(std::fopen(inputPath, "rb"));
    if (!input) {
      std::fprintf(stderr, "cannot open %s\n", inputPath);
      return 1;
    }
    if (const std::string damage = components::oggDamage(input.get()); !damage.empty()) {
      std::fprintf(stderr, "%s is damaged: %s\n", inputPath, damage.c_str());
      return 1;
    }
  }
  VorbisFile vorbis;
  if (!vorbis.open(inputPath)) {
    std::fprintf(stderr, "%s is not an Ogg Vorbis file\n", inputPath);
    return 1;
  }
  const vorbis_info* info = ov_info(vorbis.get(), -1);
  const int channels = info->channels;
  const long rate = info->rate;
  if (channels < 1 || channels > 8) return 1;

  WaveFileWriter wave;
  if (!wave.open(outputPath, static_cast<int>(rate), channels)) {
    std::fprintf(stderr, "cannot write %s\n", outputPath.c_str());
    return 2;
  }
  const auto& order = kWaveFromVorbis[channels];
  // The library's own conversion to 16 bits (rounded, clipped, little-endian).
  std::vector<char> bytes(8192 * sizeof(int16_t));
  std::vector<int16_t> interleaved;
  for (;;) {
    int section = 0;
    const long got = ov_read(vorbis.get(), bytes.data(), static_cast<int>(bytes.size()), 0, 2, 1,
                             &section);
    if (got == 0) break;
    if (got < 0) {
      std::fprintf(stderr, "%s is damaged\n", inputPath);
      return 1;  // the writer deletes what it wrote
    }
    const vorbis_info* now = ov_info(vorbis.get(), section);
    if (now->channels != channels || now->rate != rate) {
      std::fprintf(stderr, "%s changes its channels or rate midway\n", inputPath);
      return 1;
    }
    const size_t frames = static_cast<size_t>(got) / (2 * channels);
    interleaved.resize(frames * channels);
    const auto* samples = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c) {
        const size_t at = (i * channels + order[c]) * 2;
        interleaved[i * channels + c] = static_cast<int16_t>(samples[at] | (samples[at + 1] << 8));
      }
    if (!wave.write(interleaved.data(), frames)) return 2;
  }
  return wave.finish() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::strcmp(argv[1], "-o") != 0) {
    std::fprintf(stderr, "usage: oggdec -o OUTPUT.wav INPUT.ogg\n");
    return 1;
  }
  return decode(argv[3], argv[2]);
}
