#pragma once
// The CD drives of this computer: every logical drive of type CD-ROM,
// driven through SCSI pass-through on "\\.\X:".

#include <memory>
#include <string>
#include <vector>

#include "cd/cd_drive.h"

namespace cd {

// Root names ("D:") of the CD-ROM drives, in drive-letter order.
std::vector<std::string> findCdRomDrives();
// The drive on root ("D:"), shown as name; null when it cannot be opened.
std::unique_ptr<CdDrive> openCdRomDrive(const std::string& root, const std::string& name);

}  // namespace cd
