// actdec INPUT OUTPUT.wav: decodes a dictaphone recording (".act", ".rec",
// ".rcd": G.729 in the ACT container) into a 16-bit WAVE file.
#include "av_wave_decoder.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: actdec INPUT OUTPUT.wav\n");
    return 1;
  }
  return components::decodeToWave(argv[1], argv[2], {"act"});
}
