// aacdec -d -o OUTPUT.wav INPUT: decodes an ADTS AAC or MP4 audio file into
// a 16-bit WAVE file.
#include "av_wave_decoder.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  std::string input, output;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-d") == 0) continue;  // decoding is all this program does
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (argv[i][0] != '-' && input.empty()) {
      input = argv[i];
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || output.empty()) {
    std::fprintf(stderr, "usage: aacdec -d -o OUTPUT.wav INPUT\n");
    return 1;
  }
  return components::decodeToWave(input, output, {"aac", "mov"});
}
