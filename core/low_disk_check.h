#pragma once
// The check that follows every edit: is the drive of the working folder so
// full that the blocks of the next edit might not be written? The editor
// shows its "Low Disk Space" message when it is.

#include <cstdint>
#include <string>

// Below this many free bytes (3 megabytes) the editor warns.
constexpr int64_t kLowDiskSpaceBytes = 3 * 1024 * 1024;

// freeBytes < 0 means the system could not tell, which counts as plenty.
bool isLowDiskSpace(int64_t freeBytes);

// Measures the volume that holds the folder itself (not just the start of
// its path), so that mounted folders and network shares are measured where
// the blocks really go. A folder whose space cannot be measured counts as
// having plenty.
bool shouldWarnLowDiskSpace(const std::string& workingFolder);
