#pragma once
// Walking the chunks of RIFF and AIFF-style files: each chunk is a four-byte
// id and a 32-bit size, its body padded to an even length.

#include <cstdint>
#include <cstring>

#include "formats/byte_source.h"

struct ChunkHeader {
  char id[5] = {};
  uint32_t size = 0;
  int64_t bodyStart = 0;

  bool is(const char* fourCC) const { return std::memcmp(id, fourCC, 4) == 0; }
};

enum class ByteOrder { Little, Big };

// Reads the next chunk header at the current position; false at the end.
bool readChunkHeader(ByteSource& bytes, ByteOrder order, ChunkHeader& header);
// Moves past the chunk's body and its pad byte; false when that leaves the file.
bool skipChunk(ByteSource& bytes, const ChunkHeader& header);
// Reads headers, skipping chunks, until one with the id; false when none.
bool findChunk(ByteSource& bytes, ByteOrder order, const char* fourCC, ChunkHeader& header);
