#include "effects/tests/effect_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/block_store.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"

namespace effecttest {

SoundBuffer makeMaterial(const testkit::ScratchFolder& scratch, const std::string& name,
                         const std::string& commandLine) {
  SoundBuffer sound;
  EXPECT_EQ(testkit::runTool(commandLine), 0) << commandLine;
  EXPECT_EQ(loadSoundFile(scratch.file(name), FormatContext{}, sound), JobResult::Done) << name;
  return sound;
}

SoundBuffer speech(const testkit::ScratchFolder& scratch, const std::string& text, const std::string& name) {
  const std::string raw = scratch.file(name + ".espeak.wav");
  EXPECT_EQ(testkit::runTool("espeak-ng -w " + raw + " \"" + text + "\""), 0);
  return makeMaterial(scratch, name, "sox -V1 " + raw + " -r 22050 -b 16 " + scratch.file(name));
}

double rms(const std::vector<Sample>& samples, int channels, int channel, size_t fromFrame, size_t toFrame) {
  double sum = 0;
  size_t count = 0;
  for (size_t f = fromFrame; f < toFrame; ++f)
    for (int c = 0; c < channels; ++c)
      if (channel < 0 || c == channel) {
        const double value = samples[f * channels + c];
        sum += value * value;
        ++count;
      }
  return count ? std::sqrt(sum / count) : 0;
}

double peak(const std::vector<Sample>& samples) {
  double largest = 0;
  for (Sample value : samples) largest = std::max(largest, std::fabs(static_cast<double>(value)));
  return largest;
}

}  // namespace effecttest
