// shndec -x INPUT.shn OUTPUT.wav: extracts a Shorten file into a 16-bit
// WAVE file.
#include "av_wave_decoder.h"
#include "shorten_header.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4 || std::strcmp(argv[1], "-x") != 0) {
    std::fprintf(stderr, "usage: shndec -x INPUT.shn OUTPUT.wav\n");
    return 1;
  }
  return components::decodeToWave(argv[2], argv[3], {"shn"},
                                  components::shortenDeclaredFrames(argv[2]));
}
