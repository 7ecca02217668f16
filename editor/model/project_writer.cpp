// Writing a project: every record into a new file beside the target, which
// takes the target's place only after the whole project is on disk.

#include <algorithm>

#include "editor/model/project_file.h"
#include "sys/file.h"
#include "sys/folders.h"

namespace {

// Collects bytes and hands them to the file in large writes.
class ProjectOutput {
 public:
  explicit ProjectOutput(sys::File& file) : m_file(file) {}
  std::vector<uint8_t>& bytes() { return m_bytes; }
  bool flushIfLarge() { return m_bytes.size() < kFlushBytes || flush(); }
  bool flush() {
    bool written = m_file.write(m_bytes.data(), m_bytes.size()) == m_bytes.size();
    m_bytes.clear();
    return written;
  }

 private:
  static constexpr size_t kFlushBytes = 1 << 18;
  sys::File& m_file;
  std::vector<uint8_t> m_bytes;
};

int64_t sampleCount(const SoundBuffer& sound) { return int64_t{sound.totalFrames()} * sound.channels(); }

ProjectWriteStatus writeSound(ProjectOutput& out, const SoundBuffer& sound, int64_t& done, int64_t total,
                              ProjectProgress* progress) {
  const int32_t frames = sound.totalFrames();
  const int channels = sound.channels();
  std::vector<uint8_t>& bytes = out.bytes();
  appendLe32(bytes, static_cast<uint32_t>(sound.sampleRate()));
  bytes.push_back(static_cast<uint8_t>(channels));
  appendLe32(bytes, static_cast<uint32_t>(frames));
  SampleSourceRef reader = sound.openReader();
  std::vector<Sample> piece(static_cast<size_t>(kProjectPieceFrames) * channels);
  for (int32_t at = 0; at < frames; at += kProjectPieceFrames) {
    if (progress && !progress->progress(done, total)) return ProjectWriteStatus::Cancelled;
    int32_t now = std::min(kProjectPieceFrames, frames - at);
    reader->read(piece.data(), now);
    for (int64_t i = 0; i < int64_t{now} * channels; ++i) appendLe32(bytes, static_cast<uint32_t>(piece[i]));
    done += int64_t{now} * channels;
    if (!out.flushIfLarge()) return ProjectWriteStatus::Failed;
  }
  return ProjectWriteStatus::Done;
}

ProjectWriteStatus writeRecords(ProjectOutput& out, const std::vector<ProjectDocument>& documents,
                                const std::vector<Region>& regions, ProjectProgress* progress) {
  int64_t total = 0, done = 0;
  for (const auto& document : documents) total += sampleCount(document.sound);
  for (const auto& region : regions) total += sampleCount(region.sound);
  std::vector<uint8_t>& bytes = out.bytes();

  if (progress) progress->stage("Saving files...");
  bytes.push_back(kProjectVersion);
  bytes.push_back(static_cast<uint8_t>(documents.size()));
  for (const auto& document : documents) {
    appendProjectText(bytes, document.path);
    const DocumentPlace& place = document.place;
    for (int32_t value : {place.cursor, place.selectionStart, place.selectionEnd, place.visibleStart, place.visibleEnd})
      appendLe32(bytes, static_cast<uint32_t>(value));
    bytes.push_back(static_cast<uint8_t>(document.bookmarks.size()));
    for (const auto& bookmark : document.bookmarks) {
      appendProjectText(bytes, bookmark.name);
      appendProjectText(bytes, bookmark.fileName);
      appendLe32(bytes, static_cast<uint32_t>(bookmark.position));
      bytes.push_back(bookmark.flag);
      appendLe32(bytes, static_cast<uint32_t>(bookmark.reserved));
    }
    ProjectWriteStatus status = writeSound(out, document.sound, done, total, progress);
    if (status != ProjectWriteStatus::Done) return status;
  }

  if (progress) progress->stage("Saving regions...");
  bytes.push_back(static_cast<uint8_t>(regions.size()));
  for (const auto& region : regions) {
    appendProjectText(bytes, region.name);
    appendProjectText(bytes, region.sourceName);
    appendLe32(bytes, static_cast<uint32_t>(region.start));
    appendLe32(bytes, static_cast<uint32_t>(region.end));
    ProjectWriteStatus status = writeSound(out, region.sound, done, total, progress);
    if (status != ProjectWriteStatus::Done) return status;
  }
  if (!out.flush()) return ProjectWriteStatus::Failed;
  if (progress && !progress->progress(total, total)) return ProjectWriteStatus::Cancelled;
  return ProjectWriteStatus::Done;
}

}  // namespace

void appendLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendProjectText(std::vector<uint8_t>& out, const std::string& text) {
  if (text.size() < 255) {
    out.push_back(static_cast<uint8_t>(text.size()));
  } else {
    out.push_back(0xFF);
    appendLe32(out, static_cast<uint32_t>(text.size()));
  }
  out.insert(out.end(), text.begin(), text.end());
}

std::string projectCountProblem(const std::vector<ProjectDocument>& documents, const std::vector<Region>& regions) {
  if (documents.size() > kMaxProjectItems)
    return "A project can hold at most 255 files, and " + std::to_string(documents.size()) +
           " are open. Please close some files and try again.";
  for (const auto& document : documents)
    if (document.bookmarks.size() > kMaxProjectItems)
      return "A project can hold at most 255 bookmarks in one file, and \"" + document.path + "\" has " +
             std::to_string(document.bookmarks.size()) + ". Please delete some bookmarks and try again.";
  if (regions.size() > kMaxProjectItems)
    return "A project can hold at most 255 regions, and there are " + std::to_string(regions.size()) +
           ". Please delete some regions and try again.";
  return {};
}

ProjectWriteStatus writeProjectFile(const std::string& path, const std::vector<ProjectDocument>& documents,
                                    const std::vector<Region>& regions, ProjectProgress* progress) {
  // A count above 255 would wrap in its byte and leave a file nobody can read.
  if (!projectCountProblem(documents, regions).empty()) return ProjectWriteStatus::TooManyItems;
  std::string temporary = sys::createFileBeside(path, ".vrp");
  if (temporary.empty()) return ProjectWriteStatus::CannotCreate;
  ProjectWriteStatus status = ProjectWriteStatus::CannotCreate;
  {
    sys::File file = sys::File::open(temporary, sys::Access::ReadWrite, sys::Share::None,
                                     sys::Disposition::CreateAlways);
    if (file.isOpen()) {
      ProjectOutput out(file);
      status = writeRecords(out, documents, regions, progress);
      if (status == ProjectWriteStatus::Done && !file.flush()) status = ProjectWriteStatus::Failed;
    }
  }
  if (status == ProjectWriteStatus::Done && !sys::replaceFile(temporary, path)) status = ProjectWriteStatus::Failed;
  if (status != ProjectWriteStatus::Done) sys::deleteFile(temporary);
  return status;
}
