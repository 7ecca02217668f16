// Reading a project. A project is passed from person to person, so every
// length, count and format in it is checked against the bytes that are left
// before it is trusted.

#include <algorithm>

#include "editor/model/project_file.h"

namespace {

class ProjectReader {
 public:
  ProjectReader(ByteSource& bytes, ProjectLoadTarget& target, ProjectProgress* progress)
      : m_bytes(bytes), m_target(target), m_progress(progress), m_size(bytes.size()) {}

  ProjectReadStatus run() {
    uint8_t version = 0;
    if (!m_bytes.readExact(&version, 1) || (version != 1 && version != 2)) return ProjectReadStatus::WrongVersion;
    m_version = version;
    stage("Loading files...");
    uint8_t files = 0;
    if (!byte(files)) return ProjectReadStatus::Damaged;
    for (int i = 0; i < files; ++i) {
      ProjectDocument document;
      if (ProjectReadStatus status = readDocument(document); status != ProjectReadStatus::Done) return status;
      m_target.documentLoaded(std::move(document));
    }
    if (m_version == 1) {
      uint8_t count = 0;
      if (!byte(count)) return ProjectReadStatus::Damaged;
      for (int i = 0; i < count; ++i) {
        Bookmark bookmark;
        if (!readBookmark(bookmark)) return ProjectReadStatus::Damaged;
        m_target.bookmarkLoaded(std::move(bookmark));
      }
    }
    stage("Loading region...");
    uint8_t regions = 0;
    if (!byte(regions)) return ProjectReadStatus::Damaged;
    for (int i = 0; i < regions; ++i) {
      Region region;
      if (!text(region.name) || !text(region.sourceName) || !int32(region.start) || !int32(region.end))
        return ProjectReadStatus::Damaged;
      if (ProjectReadStatus status = readSound(region.sound); status != ProjectReadStatus::Done) return status;
      m_target.regionLoaded(std::move(region));
    }
    if (m_progress && !m_progress->progress(m_size, m_size)) return ProjectReadStatus::Cancelled;
    return ProjectReadStatus::Done;
  }

 private:
  int64_t left() const { return std::max<int64_t>(m_size - m_bytes.tell(), 0); }
  void stage(const char* line) {
    if (m_progress) m_progress->stage(line);
  }
  bool byte(uint8_t& value) { return m_bytes.readExact(&value, 1); }
  bool uint32(uint32_t& value) {
    uint8_t raw[4];
    if (!m_bytes.readExact(raw, 4)) return false;
    value = le32(raw);
    return true;
  }
  bool int32(int32_t& value) {
    uint32_t raw = 0;
    if (!uint32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
  }

  bool text(std::string& value) {
    if (m_version == 1) {
      std::string field(kVersion1TextBytes, '\0');
      if (!m_bytes.readExact(field.data(), field.size())) return false;
      value = field.substr(0, field.find('\0'));
      return true;
    }
    uint8_t shortLength = 0;
    if (!byte(shortLength)) return false;
    uint32_t length = shortLength;
    if (shortLength == 0xFF && !uint32(length)) return false;
    if (length > kMaxProjectTextBytes || length > left()) return false;
    value.assign(length, '\0');
    return m_bytes.readExact(value.data(), length);
  }

  bool readBookmark(Bookmark& bookmark) {
    return text(bookmark.name) && text(bookmark.fileName) && int32(bookmark.position) && byte(bookmark.flag) &&
           int32(bookmark.reserved);
  }

  ProjectReadStatus readDocument(ProjectDocument& document) {
    DocumentPlace& place = document.place;
    if (!text(document.path)) return ProjectReadStatus::Damaged;
    for (int32_t* value : {&place.cursor, &place.selectionStart, &place.selectionEnd, &place.visibleStart,
                           &place.visibleEnd})
      if (!int32(*value)) return ProjectReadStatus::Damaged;
    if (m_version == 2) {
      uint8_t count = 0;
      if (!byte(count)) return ProjectReadStatus::Damaged;
      for (int i = 0; i < count; ++i) {
        Bookmark bookmark;
        if (!readBookmark(bookmark)) return ProjectReadStatus::Damaged;
        document.bookmarks.push_back(std::move(bookmark));
      }
    }
    return readSound(document.sound);
  }

  ProjectReadStatus readSound(SoundBuffer& sound) {
    uint32_t rate = 0, frames = 0;
    uint8_t channels = 0;
    if (!uint32(rate) || !byte(channels) || !uint32(frames)) return ProjectReadStatus::Damaged;
    if (rate < 1 || rate > kMaxProjectSampleRate || channels < 1) return ProjectReadStatus::Damaged;
    // Worked out in 64 bits: the samples must be in the file before any is read.
    if (frames > static_cast<uint32_t>(INT32_MAX) || int64_t{frames} * channels * 4 > left())
      return ProjectReadStatus::Damaged;
    sound = SoundBuffer(44100, 1);
    SampleSinkRef writer = sound.openWriter(static_cast<int32_t>(rate), channels);
    std::vector<uint8_t> raw(static_cast<size_t>(kProjectPieceFrames) * channels * 4);
    std::vector<Sample> piece(static_cast<size_t>(kProjectPieceFrames) * channels);
    for (uint32_t at = 0; at < frames; at += kProjectPieceFrames) {
      if (m_progress && !m_progress->progress(m_bytes.tell(), m_size)) return ProjectReadStatus::Cancelled;
      int32_t now = static_cast<int32_t>(std::min<uint32_t>(kProjectPieceFrames, frames - at));
      size_t samples = static_cast<size_t>(now) * channels;
      if (!m_bytes.readExact(raw.data(), samples * 4)) return ProjectReadStatus::Damaged;
      for (size_t i = 0; i < samples; ++i) piece[i] = static_cast<Sample>(le32(&raw[i * 4]));
      writer->write(piece.data(), now);
      if (!writer->good()) return ProjectReadStatus::Failed;
    }
    if (writer->close() != SourceStatus::Good) return ProjectReadStatus::Failed;
    sound.setFormat(static_cast<int32_t>(rate), channels);  // an empty sound keeps its format too
    return ProjectReadStatus::Done;
  }

  ByteSource& m_bytes;
  ProjectLoadTarget& m_target;
  ProjectProgress* m_progress;
  int64_t m_size;
  int m_version = 2;
};

}  // namespace

ProjectReadStatus readProject(ByteSource& bytes, ProjectLoadTarget& target, ProjectProgress* progress) {
  return ProjectReader(bytes, target, progress).run();
}
