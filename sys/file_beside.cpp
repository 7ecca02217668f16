// Temporary files next to the file they will replace, so that the final
// rename stays on one volume and is a single step.

#include <atomic>
#include <chrono>

#include "sys/file.h"
#include "sys/folders.h"

namespace sys {

std::string createFileBeside(const std::string& target, const std::string& ending) {
  static std::atomic<unsigned> counter{0};
  std::string name = fileNameOf(target);
  if (name.empty()) return {};
  std::string folder = folderOf(target);
  unsigned long long seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(counter.fetch_add(1)) << 48);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    std::string candidate = "." + name + "." + std::to_string(seed >> 44) + ending;
    std::string path = folder.empty() ? candidate : joinPath(folder, candidate);
    File file = File::open(path, Access::ReadWrite, Share::None, Disposition::CreateNew);
    if (file.isOpen()) return path;
    if (fileExists(path)) continue;
    return {};  // the folder is missing or not writable
  }
  return {};
}

}  // namespace sys
