#include "net/install_on_demand.h"

#include "net/sha256.h"
#include "sys/environment.h"
#include "sys/folders.h"
#include "sys/settings_store.h"

namespace net {

namespace {

constexpr const char* kDownloadFolderPrefix = "zedcomp-";

// Downloads from one host and keeps the file only when it is the installer we
// know by its hash.
int fetchTrusted(const ComponentSource& source, const std::string& host, const std::string& name,
                 const std::string& localPath, DownloadProgress& progress) {
  std::string url = componentUrl(host, name);
  if (url.empty()) return kFailed;
  int result = downloadFile(source.client, url, localPath, progress);
  if (result != kDone) return result;
  std::optional<std::string> hash = sha256OfFile(localPath);
  if (!hash || !source.installers.matches(name, *hash)) {
    sys::deleteFile(localPath);
    return kFailed;
  }
  return kDone;
}

// Runs the installer with the quiet switch set, and gives the variable back
// the state it had.
int runQuietly(const ComponentSource& source, const std::string& path, DownloadProgress& progress) {
  std::optional<std::string> before = sys::environmentValue(kQuietVariable);
  sys::setEnvironmentValue(kQuietVariable, std::string("1"));
  int result = source.runner.run(path, progress);
  sys::setEnvironmentValue(kQuietVariable, before);
  return result;
}

}  // namespace

std::string componentPath(const std::string& name) {
  if (!isComponentName(name)) return {};
  return sys::readMachineThenUser("Software\\Zedirad\\Components\\" + name, "Path");
}

int installComponentOnDemand(const std::string& name, DownloadProgress& progress, const ComponentSource& source) {
  progress.setLines(kDownloadingText, name);
  // Nothing is fetched for a component whose installer we could not check.
  if (!isComponentName(name) || !source.installers.knows(name)) return kFailed;

  // A folder of our own, made fresh: a fixed name in the shared temporary
  // folder could be prepared by someone else.
  std::string folder = sys::createUniqueFolder(sys::tempFolder(), kDownloadFolderPrefix);
  if (folder.empty()) return kFailed;
  std::string localPath = sys::joinPath(folder, name + ".exe");

  int result = fetchTrusted(source, source.hosts.first, name, localPath, progress);
  if (result == kFailed) result = fetchTrusted(source, source.hosts.second, name, localPath, progress);

  if (result == kDone) {
    progress.setLines(kRunningText, name);
    result = runQuietly(source, localPath, progress);
    if (result == kDone) {
      auto lookUp = source.lookUp ? source.lookUp : componentPath;
      if (lookUp(name).empty()) result = kFailed;
    }
  }
  // An installer still running after a cancelled wait holds its file; then
  // both stay behind in the temporary folder.
  sys::deleteFile(localPath);
  sys::removeEmptyFolder(folder);
  return result;
}

}  // namespace net
