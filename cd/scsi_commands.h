#pragma once
// The MMC command blocks the drives are driven with, and the reading of
// what READ TOC returns. Kept apart from any transport so that the bytes
// can be checked without a drive.

#include <array>
#include <cstddef>
#include <cstdint>

#include "cd/disc_record.h"

namespace cd {

constexpr uint16_t kReadTocAllocationBytes = 2048;
constexpr uint32_t kReadTocTimeoutMs = 20000;

// READ TOC (0x43), format 0, addresses as logical blocks (MSF clear).
std::array<uint8_t, 10> readTocCommand();
// READ CD (0xBE), any sector type, 2,352 bytes per sector (sync, header,
// user data and error fields).
std::array<uint8_t, 12> readCdCommand(int32_t firstSector, int32_t sectorCount);

// The table of contents in the first returnedBytes of a READ TOC reply.
// Only descriptors that were actually returned are read, however many the
// reply's length field claims. False when not even the lead-out is there.
bool parseTocReply(const uint8_t* reply, size_t returnedBytes, TableOfContents& toc);

}  // namespace cd
