#pragma once
// Which file each selected recording is backed up into: its own name with
// the extension of the chosen compression, in the target folder. A target
// that is itself one of the selected recordings is refused (the backup would
// overwrite a recording it still has to read), two recordings that come to
// the same name get " (2)", " (3)" ... so that neither is lost, and a target
// that exists already is marked, so that the user is asked before it is
// replaced.

#include <functional>
#include <string>
#include <vector>

namespace recorder {

// The order of the "Format" list, as stored in `Compression`.
enum class BackupCompression : int { Gsm = 0, Mp3At8 = 1, Mp3At16 = 2, WavGsm = 3 };
constexpr int kBackupCompressionCount = 4;
constexpr int kDefaultBackupCompression = 3;

const char* backupCompressionName(BackupCompression compression);
// ".gsm", ".mp3" or ".wav".
const char* backupExtension(BackupCompression compression);
// An index outside the list reads as the default.
BackupCompression backupCompressionFromIndex(long long index);

struct BackupItem {
  std::string source;
  std::string target;
  bool replaces = false;  // the target exists already
};

struct BackupPlan {
  std::vector<BackupItem> items;
  std::vector<std::string> refused;  // sources whose target is a selected recording
};

// exists answers for a full path. File names compare without regard to case,
// as the file system does.
BackupPlan planBackup(const std::vector<std::string>& sources, const std::string& folder,
                      BackupCompression compression, const std::function<bool(const std::string&)>& exists);

}  // namespace recorder
