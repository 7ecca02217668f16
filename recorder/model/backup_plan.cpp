#include "recorder/model/backup_plan.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "sys/folders.h"

namespace recorder {
namespace {

// The form two paths of one file share: one separator, one case.
std::string pathKey(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

std::string stemOf(const std::string& path) {
  std::string name = sys::fileNameOf(path);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

const char* backupCompressionName(BackupCompression compression) {
  switch (compression) {
    case BackupCompression::Gsm: return "GSM";
    case BackupCompression::Mp3At8: return "MP3: Constant BitRate 8kb/sec";
    case BackupCompression::Mp3At16: return "MP3: Constant BitRate 16kb/sec";
    case BackupCompression::WavGsm: return "WAV: (GSM 6.10) 4kb/sec";
  }
  return "";
}

const char* backupExtension(BackupCompression compression) {
  switch (compression) {
    case BackupCompression::Gsm: return ".gsm";
    case BackupCompression::Mp3At8:
    case BackupCompression::Mp3At16: return ".mp3";
    case BackupCompression::WavGsm: return ".wav";
  }
  return "";
}

BackupCompression backupCompressionFromIndex(long long index) {
  if (index < 0 || index >= kBackupCompressionCount) index = kDefaultBackupCompression;
  return static_cast<BackupCompression>(index);
}

BackupPlan planBackup(const std::vector<std::string>& sources, const std::string& folder,
                      BackupCompression compression, const std::function<bool(const std::string&)>& exists) {
  BackupPlan plan;
  std::set<std::string> selected;
  for (const std::string& source : sources) selected.insert(pathKey(source));
  std::set<std::string> taken;
  const std::string extension = backupExtension(compression);
  for (const std::string& source : sources) {
    const std::string stem = stemOf(source);
    std::string target = sys::joinPath(folder, stem + extension);
    if (selected.count(pathKey(target))) {
      plan.refused.push_back(source);
      continue;
    }
    // Another recording of this backup has the name: the next free number.
    for (int n = 2; taken.count(pathKey(target)) || selected.count(pathKey(target)); ++n)
      target = sys::joinPath(folder, stem + " (" + std::to_string(n) + ")" + extension);
    taken.insert(pathKey(target));
    plan.items.push_back({source, target, exists(target)});
  }
  return plan;
}

}  // namespace recorder
