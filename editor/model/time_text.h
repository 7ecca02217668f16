#pragma once
// Times in milliseconds as the user sees and types them.

#include <cstdint>
#include <string>

// "h:mm:ss.hh", rounded to the nearest hundredth; "-" in front when negative.
std::string formatTimeHundredths(int64_t ms);
// "h:mm:ss.mmm", exact; "-" in front when negative.
std::string formatTimeMillis(int64_t ms);
// Lengths in lists: "h:mm:ss" and "m:ss" (minutes not wrapped at the hour),
// both cut to the whole second.
std::string formatLengthHms(int64_t ms);
std::string formatLengthMs(int64_t ms);
// "h:mm:ss.t", cut to the tenth, for the analysis windows' read-outs.
std::string formatTimeTenths(int64_t ms);

// Reads "h:mm:ss.xx", "m:ss.xxx", "ss.x" or plain seconds, with surrounding
// blanks allowed. Fields after the first must be below 60; fraction digits
// past the third are dropped. False (ms untouched) for anything else.
bool parseTimeText(const std::string& text, int64_t& ms);
