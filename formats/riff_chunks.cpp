#include "formats/riff_chunks.h"

bool readChunkHeader(ByteSource& bytes, ByteOrder order, ChunkHeader& header) {
  uint8_t raw[8];
  header.bodyStart = bytes.tell() + 8;
  if (!bytes.readExact(raw, 8)) return false;
  std::memcpy(header.id, raw, 4);
  header.id[4] = 0;
  header.size = order == ByteOrder::Little ? le32(raw + 4) : be32(raw + 4);
  return true;
}

bool skipChunk(ByteSource& bytes, const ChunkHeader& header) {
  int64_t next = header.bodyStart + header.size + (header.size & 1);
  // A chunk reaching past the end of the file ends the walk.
  if (next > bytes.size()) return false;
  return bytes.seek(next);
}

bool findChunk(ByteSource& bytes, ByteOrder order, const char* fourCC, ChunkHeader& header) {
  while (readChunkHeader(bytes, order, header)) {
    if (header.is(fourCC)) return true;
    if (!skipChunk(bytes, header)) return false;
  }
  return false;
}
