#pragma once
// A sink that writes into a recording file held open by someone else, so
// that releasing it (the capture does, each time it stops) leaves the file
// open for the next run to continue. Its position is the file's position,
// and a seek (the capture trims a silent tail) goes to the file.

#include "core/sample_source.h"

namespace recorder {

SampleSinkRef makeContinuingSink(SampleSinkRef file);

}  // namespace recorder
