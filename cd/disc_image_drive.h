#pragma once
// A disc image read like a CD: a ".cue" sheet with its raw ".bin" files of
// 2,352-byte sectors. The tracks of the files follow each other as on a
// disc; the lead-out is the end of the last file.

#include <memory>
#include <string>
#include <vector>

#include "cd/cd_drive.h"
#include "cd/cue_sheet.h"
#include "sys/file.h"

namespace cd {

class DiscImageDrive : public CdDrive {
 public:
  // Null, with a reason for the user, when the sheet or its files cannot be read.
  static std::unique_ptr<DiscImageDrive> open(const std::string& cuePath, std::string& reason);

  std::string name() const override;
  bool readTableOfContents(TableOfContents& toc) override;
  bool startRead(int32_t first, int32_t count, uint8_t* destination) override;
  ReadWait waitRead(uint32_t timeoutMs, ReadWaiter& waiter) override;
  void abandonRead() override { m_pending = ReadWait::Failed; }

 private:
  struct ImageFile {
    sys::File file;
    int32_t firstSector = 0;  // on the disc
    int32_t sectors = 0;
    bool bigEndian = false;
  };
  bool readSectors(int32_t first, int32_t count, uint8_t* destination);

  std::string m_cuePath;
  std::vector<ImageFile> m_files;
  TableOfContents m_toc;
  ReadWait m_pending = ReadWait::Failed;
};

}  // namespace cd
