#include "formats/import_output.h"

#include "sys/folders.h"

namespace {
// Enough for every import a user could have open at once; past this the
// temporary folder is not one we can use.
constexpr int kMaxTempNumber = 9999;
}  // namespace

std::string claimImportOutput(const std::string& folder, const std::string& extension) {
  for (int number = 1; number <= kMaxTempNumber; ++number) {
    std::string path = sys::joinPath(folder, "Temp" + std::to_string(number) + extension);
    // Deleting fails while another process holds the file open (a sharing
    // violation) or we may not touch it: that number is someone else's.
    if (!sys::fileExists(path) || sys::deleteFile(path)) return path;
  }
  return {};
}
