#include "cd/scsi_commands.h"

#include <algorithm>

namespace cd {

namespace {

constexpr uint8_t kReadTocOperation = 0x43;
constexpr uint8_t kReadCdOperation = 0xBE;
// READ CD byte 9: sync, all headers, user data and the error fields.
constexpr uint8_t kReadCdAllFields = 0xF0;
constexpr size_t kTocHeaderBytes = 4;      // data length (2), first and last track
constexpr size_t kTocDescriptorBytes = 8;  // reserved, ADR/control, track, reserved, address (4)

void putBigEndian32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value >> 24);
  at[1] = static_cast<uint8_t>(value >> 16);
  at[2] = static_cast<uint8_t>(value >> 8);
  at[3] = static_cast<uint8_t>(value);
}

int32_t bigEndian32(const uint8_t* at) {
  return static_cast<int32_t>((uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3]);
}

}  // namespace

std::array<uint8_t, 10> readTocCommand() {
  std::array<uint8_t, 10> command{};
  command[0] = kReadTocOperation;
  command[7] = static_cast<uint8_t>(kReadTocAllocationBytes >> 8);
  command[8] = static_cast<uint8_t>(kReadTocAllocationBytes & 0xFF);
  return command;
}

std::array<uint8_t, 12> readCdCommand(int32_t firstSector, int32_t sectorCount) {
  std::array<uint8_t, 12> command{};
  command[0] = kReadCdOperation;
  putBigEndian32(&command[2], static_cast<uint32_t>(firstSector));
  command[6] = static_cast<uint8_t>(sectorCount >> 16);
  command[7] = static_cast<uint8_t>(sectorCount >> 8);
  command[8] = static_cast<uint8_t>(sectorCount);
  command[9] = kReadCdAllFields;
  return command;
}

bool parseTocReply(const uint8_t* reply, size_t returnedBytes, TableOfContents& toc) {
  toc.addresses.clear();
  if (!reply || returnedBytes < kTocHeaderBytes) return false;
  // The length field counts the bytes after itself.
  size_t claimed = (size_t{reply[0]} << 8) | reply[1];
  long claimedDescriptors = (static_cast<long>(claimed) - 2) / static_cast<long>(kTocDescriptorBytes);
  long returnedDescriptors = static_cast<long>((returnedBytes - kTocHeaderBytes) / kTocDescriptorBytes);
  long descriptors = std::min(claimedDescriptors, returnedDescriptors);
  long tracks = std::min<long>(descriptors - 1, kMaxTracks);
  if (tracks < 0) return false;
  for (long i = 0; i < tracks; ++i)
    toc.addresses.push_back(bigEndian32(reply + kTocHeaderBytes + i * kTocDescriptorBytes + 4));
  // The lead-out is the last descriptor returned (more tracks than we keep are dropped).
  toc.addresses.push_back(bigEndian32(reply + kTocHeaderBytes + (descriptors - 1) * kTocDescriptorBytes + 4));
  return true;
}

}  // namespace cd
