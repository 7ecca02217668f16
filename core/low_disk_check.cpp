#include "core/low_disk_check.h"

#include "sys/folders.h"

bool isLowDiskSpace(int64_t freeBytes) { return freeBytes >= 0 && freeBytes < kLowDiskSpaceBytes; }

bool shouldWarnLowDiskSpace(const std::string& workingFolder) {
  if (workingFolder.empty()) return false;
  return isLowDiskSpace(sys::freeDiskSpace(workingFolder));
}
