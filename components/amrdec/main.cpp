// amrdec INPUT.amr OUTPUT.raw: decodes an AMR-NB file into headerless
// 16-bit little-endian samples, 8,000 a second, one channel.
#include "amr_storage.h"

#include <cstdio>
#include <cstring>
#include <memory>

extern "C" {
#include <opencore-amrnb/interf_dec.h>
}

namespace {

using namespace components;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct DecoderExit {
  void operator()(void* state) const { Decoder_Interface_exit(state); }
};

// 0 when every frame was decoded, 1 for damaged or cut-short input, 2 when
// the output cannot be written.
int decode(std::FILE* input, std::FILE* output) {
  char magic[amr::kMagicBytes];
  if (std::fread(magic, 1, sizeof magic, input) != sizeof magic ||
      std::memcmp(magic, amr::kMagic, sizeof magic) != 0) {
    std::fprintf(stderr, "not an AMR-NB file\n");
    return 1;
  }
  std::unique_ptr<void, DecoderExit> decoder(Decoder_Interface_init());
  if (!decoder) return 2;
  unsigned char frame[32];
  int16_t pcm[amr::kFrameSamples];
  unsigned char bytes[2 * amr::kFrameSamples];
  long frames = 0;
  for (int header; (header = std::fgetc(input)) != EOF; ++frames) {
    frame[0] = static_cast<unsigned char>(header);
    const int payload = amr::kPayloadBytes[amr::frameType(frame[0])];
    if (payload < 0 || !amr::headerPaddingClear(frame[0])) {
      std::fprintf(stderr, "damaged frame header after %ld frames\n", frames);
      return 1;
    }
    if (std::fread(frame + 1, 1, payload, input) != static_cast<size_t>(payload)) {
      std::fprintf(stderr, "the file ends inside frame %ld\n", frames + 1);
      return 1;
    }
    Decoder_Interface_Decode(decoder.get(), frame, pcm, 0);
    for (int i = 0; i < amr::kFrameSamples; ++i) {
      bytes[2 * i] = static_cast<unsigned char>(pcm[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<unsigned char>((pcm[i] >> 8) & 0xFF);
    }
    if (std::fwrite(bytes, 1, sizeof bytes, output) != sizeof bytes) return 2;
  }
  if (std::ferror(input)) return 1;
  if (frames == 0) {
    std::fprintf(stderr, "the file holds no frames\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: amrdec INPUT.amr OUTPUT.raw\n");
    return 1;
  }
  File input(std::fopen(argv[1], "rb"));
  if (!input) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  File output(std::fopen(argv[2], "wb"));
  if (!output) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 2;
  }
  int status = decode(input.get(), output.get());
  if (std::fclose(output.release()) != 0 && status == 0) status = 2;
  // Half a recording must not pass for the whole of it.
  if (status != 0) std::remove(argv[2]);
  return status;
}
