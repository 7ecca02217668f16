#pragma once
// Shared set-up of the effect tests: on top of the edit tests' set-up (the
// block store in a scratch folder, sounds from sample vectors, progress
// callbacks that cancel), real material made by sox and espeak-ng and loaded
// through the file readers, and level measures.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sound_buffer.h"
#include "effects/tests/edit_test_support.h"
#include "testkit/testkit.h"

namespace effecttest {

using edittest::CancelAfter;
using edittest::samplesOf;
using edittest::soundFrom;

// Runs a sox or espeak-ng command that writes `name` in the scratch folder,
// then loads that file. Fails the test when the tool or the load fails.
SoundBuffer makeMaterial(const testkit::ScratchFolder& scratch, const std::string& name,
                         const std::string& commandLine);
// A few seconds of speech, 22,050 Hz mono, by espeak-ng (and sox to set the rate).
SoundBuffer speech(const testkit::ScratchFolder& scratch, const std::string& text, const std::string& name);

// Root mean square and peak magnitude of samples [from, to) of one channel
// (channel -1: all).
double rms(const std::vector<Sample>& samples, int channels, int channel, size_t fromFrame, size_t toFrame);
double peak(const std::vector<Sample>& samples);

}  // namespace effecttest
