#pragma once
// Project files (".vrp"): the open sounds with their view state and
// bookmarks, and the region list, each with its audio, in one file.
//
// Layout (integers little-endian): a version byte (2 written, 1 and 2 read),
// the file count (u8) and the file records, the region count (u8) and the
// region records. Version 2 texts are UTF-8 with a length byte, or 0xFF and
// a u32 length from 255 bytes on; version 1 texts are fixed fields of
// kVersion1TextBytes, cut at their first zero. A sound is its rate (u32),
// channels (u8), frame count (u32) and the interleaved samples (i32 each).
//
// Version 2 file record: path, cursor, selection start, selection end,
// visible start, visible end (i32 each), bookmark count (u8) and bookmarks
// (name, file name, position i32, flag u8, reserved i32), the sound.
// Version 1 file record: path, the five state values, the sound; all the
// bookmarks follow the file records as one section (count and records) and
// each belongs to the file whose name it carries.
// Region record: name, source file name, start and end (i32 each), the sound.

#include <cstdint>
#include <string>
#include <vector>

#include "core/sound_buffer.h"
#include "formats/byte_source.h"

constexpr uint8_t kProjectVersion = 2;
constexpr size_t kVersion1TextBytes = 260;
// Counts are one byte in the file.
constexpr size_t kMaxProjectItems = 255;
// A Windows path of 32,767 UTF-16 units is at most 98,301 UTF-8 bytes; a
// longer text is damage.
constexpr uint32_t kMaxProjectTextBytes = 131072;
constexpr int32_t kMaxProjectSampleRate = 196000;
constexpr int32_t kProjectPieceFrames = 8192;

struct Bookmark {
  std::string name;
  std::string fileName;  // the name of the file it belongs to
  int32_t position = 0;  // frames
  uint8_t flag = 1;      // 1 for a bookmark made in this program
  int32_t reserved = 0;  // kept as read
  bool operator==(const Bookmark&) const = default;
};

// Where a window stood: frames, in this order in the file.
struct DocumentPlace {
  int32_t cursor = 0;
  int32_t selectionStart = 0, selectionEnd = 0;
  int32_t visibleStart = 0, visibleEnd = 0;
  bool operator==(const DocumentPlace&) const = default;
};

struct ProjectDocument {
  std::string path;  // the file's path, or the name of a sound never saved
  DocumentPlace place;
  std::vector<Bookmark> bookmarks;
  SoundBuffer sound;
};

struct Region {
  std::string name;
  std::string sourceName;  // the file it was taken from
  int32_t start = 0, end = 0;
  SoundBuffer sound;
};

// Progress of a project read or write: the bar through ProgressCallback, and
// the stage ("Saving files...") for the dialog's line.
class ProjectProgress : public ProgressCallback {
 public:
  virtual void stage(const std::string& line) = 0;
};

// ---- Writing ----

enum class ProjectWriteStatus { Done, Cancelled, CannotCreate, Failed, TooManyItems };

// The message for a project the file cannot hold (more than 255 files, or
// bookmarks in one file, or regions); empty when it fits.
std::string projectCountProblem(const std::vector<ProjectDocument>& documents, const std::vector<Region>& regions);

// Writes a version 2 project into a new file beside path and puts it in
// place of path only once it is complete; on any failure or a cancel the
// file at path is as it was.
ProjectWriteStatus writeProjectFile(const std::string& path, const std::vector<ProjectDocument>& documents,
                                    const std::vector<Region>& regions, ProjectProgress* progress = nullptr);

// ---- Reading ----

// What a project read hands on as soon as each piece is whole, so that what
// was read before a failure stays with the caller.
class ProjectLoadTarget {
 public:
  virtual ~ProjectLoadTarget() = default;
  virtual void documentLoaded(ProjectDocument document) = 0;
  // Version 1 only: a bookmark of the file named bookmark.fileName.
  virtual void bookmarkLoaded(Bookmark bookmark) = 0;
  virtual void regionLoaded(Region region) = 0;
};

// Failed: the audio could not be stored (the working folder is full).
enum class ProjectReadStatus { Done, Cancelled, WrongVersion, Damaged, Failed };

// Reads a project of version 1 or 2. Lengths, counts, rates and channel
// counts are checked against what the file can hold before anything is
// read by them.
ProjectReadStatus readProject(ByteSource& bytes, ProjectLoadTarget& target, ProjectProgress* progress = nullptr);

// ---- Text fields, shared by reader, writer and tests ----

void appendProjectText(std::vector<uint8_t>& out, const std::string& text);
void appendLe32(std::vector<uint8_t>& out, uint32_t value);
