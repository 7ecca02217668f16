#include "cd/disc_image_drive.h"

#include <algorithm>
#include <utility>

#include "sys/folders.h"

namespace cd {

namespace {

// A cue sheet is a few lines; anything this large is not one.
constexpr int64_t kMaxCueBytes = 1 << 20;

bool readText(const std::string& path, std::string& text) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return false;
  int64_t size = file.size();
  if (size < 0 || size > kMaxCueBytes) return false;
  text.resize(static_cast<size_t>(size));
  return file.read(text.data(), text.size()) == text.size();
}

}  // namespace

std::unique_ptr<DiscImageDrive> DiscImageDrive::open(const std::string& cuePath, std::string& reason) {
  std::string text;
  if (!readText(cuePath, text)) {
    reason = "The cue sheet cannot be read.";
    return nullptr;
  }
  CueSheet sheet;
  std::string why;
  if (!parseCueSheet(text, sheet, why)) {
    reason = "The cue sheet cannot be used (" + why + ").";
    return nullptr;
  }
  std::unique_ptr<DiscImageDrive> drive(new DiscImageDrive);
  drive->m_cuePath = cuePath;
  std::string folder = sys::folderOf(cuePath);
  int32_t discSector = 0;
  for (const CueFile& entry : sheet.files) {
    std::string path = sys::joinPath(folder, entry.path);
    ImageFile image;
    image.file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
    if (!image.file.isOpen()) {
      reason = "The image file \"" + path + "\" cannot be opened.";
      return nullptr;
    }
    int64_t sectors = image.file.size() / kSectorBytes;
    if (sectors > INT32_MAX - discSector) {
      reason = "The image file \"" + path + "\" is too large.";
      return nullptr;
    }
    for (int32_t start : entry.trackStarts) {
      if (start >= sectors) {
        reason = "A track starts past the end of \"" + path + "\".";
        return nullptr;
      }
      drive->m_toc.addresses.push_back(discSector + start);
    }
    image.firstSector = discSector;
    image.sectors = static_cast<int32_t>(sectors);
    image.bigEndian = entry.bigEndian;
    discSector += image.sectors;
    drive->m_files.push_back(std::move(image));
  }
  drive->m_toc.addresses.push_back(discSector);  // the lead-out
  return drive;
}

std::string DiscImageDrive::name() const { return "Disc image: " + sys::fileNameOf(m_cuePath); }

bool DiscImageDrive::readTableOfContents(TableOfContents& toc) {
  toc = m_toc;
  return true;
}

bool DiscImageDrive::readSectors(int32_t first, int32_t count, uint8_t* destination) {
  int32_t sector = first;
  int32_t end = first + count;
  for (ImageFile& image : m_files) {
    int32_t imageEnd = image.firstSector + image.sectors;
    if (sector >= imageEnd || sector < image.firstSector) continue;
    int32_t here = std::min(end, imageEnd) - sector;
    size_t bytes = size_t(here) * kSectorBytes;
    if (!image.file.seek(int64_t{sector - image.firstSector} * kSectorBytes)) return false;
    if (image.file.read(destination, bytes) != bytes) return false;
    if (image.bigEndian)
      for (size_t i = 0; i + 1 < bytes; i += 2) std::swap(destination[i], destination[i + 1]);
    destination += bytes;
    sector += here;
    if (sector == end) return true;
  }
  return sector == end;
}

bool DiscImageDrive::startRead(int32_t first, int32_t count, uint8_t* destination) {
  if (first < 0 || count <= 0 || first > m_toc.addresses.back() - count) return false;
  // A file reads at once: the request is done by the time it is waited for.
  m_pending = readSectors(first, count, destination) ? ReadWait::Done : ReadWait::Failed;
  return true;
}

ReadWait DiscImageDrive::waitRead(uint32_t timeoutMs, ReadWaiter& waiter) {
  ReadWait result = m_pending;
  m_pending = ReadWait::Failed;
  if (result == ReadWait::Done && waiter.cancelled()) return ReadWait::Cancelled;
  return result;
}

}  // namespace cd
