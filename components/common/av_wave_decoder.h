#pragma once
// Decodes the first audio stream of a file that ffmpeg's libraries read
// (ADTS AAC, MP4 audio, Shorten, ACT dictaphone files) into a 16-bit PCM
// WAVE file.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace components {

// Returns the process exit code: 0 when the whole input was decoded, 1 when
// the input cannot be opened, is not in one of the named containers (ffmpeg
// demuxer names, such as "aac" or "mov"), or is damaged or cut short (the
// output file is then removed), 2 when the output cannot be written.
// When the container states the length elsewhere, expectedFrames gives it:
// fewer frames decoded means the file was cut short.
int decodeToWave(const std::string& inputPath, const std::string& outputPath,
                 std::initializer_list<std::string_view> containers,
                 std::optional<int64_t> expectedFrames = std::nullopt);

}  // namespace components
