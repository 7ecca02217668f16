#pragma once
// The elapsed time of a recording as the window shows it: hours, minutes,
// seconds and hundredths ("1:02:03.46"), rounded to the nearest hundredth.

#include <cstdint>
#include <string>

namespace recorder {

std::string elapsedText(int64_t milliseconds);

}  // namespace recorder
