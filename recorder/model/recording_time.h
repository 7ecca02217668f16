#pragma once
// Recording times: the maximum length typed as "h:mm:ss" and the elapsed time
// shown while recording.

#include <string>

namespace recorder {

// Milliseconds of a time such as "1:30:00" or "0:00:01.5": fields separated by
// ":", a "." starts the fractions of a second, a "-" anywhere makes the time
// negative; other characters are skipped.
long long parseRecordingTime(const std::string& text);
// A recording stops once it is strictly longer than its limit.
inline bool maxTimeExceeded(long long elapsedMs, long long limitMs) { return elapsedMs > limitMs; }
// "h:mm:ss.hh", rounded to the nearest hundredth; negative times start with "-".
std::string elapsedTimeText(long long elapsedMs);

}  // namespace recorder
