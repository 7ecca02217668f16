// amrenc MODE - OUTPUT.amr: encodes 16-bit little-endian samples, 8,000 a
// second, one channel, read from standard input, into an AMR-NB file.
// MODE is the bit-rate word MR475, MR515, MR59, MR67, MR74, MR795, MR102
// or MR122.
#include "amr_storage.h"
#include "binary_stdio.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

extern "C" {
#include <opencore-amrnb/interf_enc.h>
}

namespace {

using namespace components;

std::optional<Mode> modeNamed(const char* word) {
  constexpr std::array<std::pair<const char*, Mode>, 8> kModes = {{
      {"MR475", MR475}, {"MR515", MR515}, {"MR59", MR59}, {"MR67", MR67},
      {"MR74", MR74}, {"MR795", MR795}, {"MR102", MR102}, {"MR122", MR122}}};
  for (const auto& [name, mode] : kModes)
    if (std::strcmp(word, name) == 0) return mode;
  return std::nullopt;
}

struct EncoderExit {
  void operator()(void* state) const { Encoder_Interface_exit(state); }
};

// Reads up to one frame of samples; a short last frame is filled with
// silence. Returns the number of samples read.
size_t readFrame(int16_t (&pcm)[amr::kFrameSamples]) {
  unsigned char bytes[2 * amr::kFrameSamples];
  size_t got = 0;
  while (got < sizeof bytes) {
    const size_t n = std::fread(bytes + got, 1, sizeof bytes - got, stdin);
    if (n == 0) break;
    got += n;
  }
  const size_t samples = got / 2;
  for (size_t i = 0; i < amr::kFrameSamples; ++i)
    pcm[i] = i < samples ? static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)) : 0;
  return samples;
}

int encode(Mode mode, std::FILE* output) {
  std::unique_ptr<void, EncoderExit> encoder(Encoder_Interface_init(0));
  if (!encoder) return 2;
  if (std::fwrite(amr::kMagic, 1, amr::kMagicBytes, output) != amr::kMagicBytes) return 2;
  int16_t pcm[amr::kFrameSamples];
  unsigned char frame[64];
  while (readFrame(pcm) > 0) {
    const int bytes = Encoder_Interface_Encode(encoder.get(), mode, pcm, frame, 0);
    if (bytes <= 0 || std::fwrite(frame, 1, bytes, output) != static_cast<size_t>(bytes))
      return 2;
  }
  return std::ferror(stdin) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Mode> mode = argc == 4 ? modeNamed(argv[1]) : std::nullopt;
  if (!mode || std::strcmp(argv[2], "-") != 0) {
    std::fprintf(stderr, "usage: amrenc MR475|MR515|MR59|MR67|MR74|MR795|MR102|MR122 - OUTPUT.amr\n");
    return 1;
  }
  setBinaryStdio();
  std::FILE* output = std::fopen(argv[3], "wb");
  if (!output) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 2;
  }
  int status = encode(*mode, output);
  if (std::fclose(output) != 0 && status == 0) status = 2;
  if (status != 0) std::remove(argv[3]);
  return status;
}
