#pragma once
// Reads the head of a Shorten file as far as the WAVE header it keeps
// verbatim, for the number of frames that the file holds when whole: the
// decoder itself ends quietly wherever the data ends.
#include <cstdint>
#include <optional>
#include <string>

namespace components {

// The frame count that the kept WAVE header declares; nothing when the
// file has no such header or does not state a length.
std::optional<int64_t> shortenDeclaredFrames(const std::string& path);

}  // namespace components
