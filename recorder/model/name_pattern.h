#pragma once
// Recording names made from a pattern such as "Rec %autonumber%" or
// "%YYYY%-%MM%-%DD% %HH%.%MIN%.%SS%".

#include <functional>
#include <string>

namespace recorder {

class RecorderSettings;

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
LocalTime currentLocalTime();

// Names, like the text they are made of, hold at most this many characters.
constexpr size_t kMaxNameChars = 259;

// One pass over the pattern: text outside percent signs is copied, each
// %token% (any case) is replaced: YYYY, MM, DD, HH, MIN, SS from now,
// autonumber by autoNumber, which then advances by one and sets
// usedAutoNumber. Other tokens give nothing.
std::string expandNamePattern(const std::string& pattern, const LocalTime& now, long long& autoNumber,
                              bool& usedAutoNumber);
// Removes control characters and " * . / : < > ? \ |, keeps at most 259 characters.
std::string cleanRecordingName(const std::string& name);

// The name for the next recording. Every number it takes is stored at once in
// AutoNumber; while the pattern numbers its names and exists(name) says a
// recording of that name is there, the next number is tried.
std::string nameFromPattern(const std::string& pattern, const LocalTime& now, RecorderSettings& settings,
                            const std::function<bool(const std::string& name)>& exists);

}  // namespace recorder
