#pragma once
// A cue sheet of a raw disc image: the image files (".bin" of 2,352-byte
// sectors) and where each track starts.

#include <cstdint>
#include <string>
#include <vector>

namespace cd {

struct CueFile {
  std::string path;        // as written in the sheet, relative to the sheet's folder
  bool bigEndian = false;  // "MOTOROLA" instead of "BINARY"
  std::vector<int32_t> trackStarts;  // INDEX 01 of each track, in sectors from this file's start
};

struct CueSheet {
  std::vector<CueFile> files;
};

// Parses the text of a ".cue". False, with a reason for the user, when it
// is not a sheet of raw 2,352-byte tracks.
bool parseCueSheet(const std::string& text, CueSheet& sheet, std::string& reason);

}  // namespace cd
