#pragma once
// The AMR-NB single-channel storage format: the magic line, then frames of
// one header byte (0 FFFF Q 00: frame type and quality bit) and the
// speech bits of that frame type.
#include <array>
#include <cstdint>

namespace components::amr {

constexpr char kMagic[] = "#!AMR\n";
constexpr int kMagicBytes = 6;
constexpr int kSampleRate = 8000;
constexpr int kFrameSamples = 160;  // 20 ms

// Payload bytes after the header byte, by frame type; -1 for the types a
// single-channel AMR-NB file never holds (other codecs' comfort noise and
// reserved values). Type 15 is "no data".
constexpr std::array<int, 16> kPayloadBytes = {12, 13, 15, 17, 19, 20, 26, 31,
                                               5,  -1, -1, -1, -1, -1, -1, 0};

constexpr int frameType(uint8_t header) { return (header >> 3) & 0x0F; }
// The padding bits of a header byte are always zero in a sound file.
constexpr bool headerPaddingClear(uint8_t header) { return (header & 0x83) == 0; }

}  // namespace components::amr
