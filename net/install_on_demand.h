#pragma once
// Installing a missing component on demand: download its installer from the
// first host (then the second), check it against the installers we trust,
// run it quietly, wait for it, and check that the component is registered.

#include <functional>
#include <string>

#include "net/download_file.h"
#include "net/download_hosts.h"
#include "net/http_client.h"
#include "net/installer_catalog.h"

namespace net {

// Starts a downloaded installer and waits for it to end.
class InstallerRunner {
 public:
  virtual ~InstallerRunner() = default;
  // Runs path as a normal, visible program and waits while keeping the
  // interface alive: 0 when it ended, 1 when the user cancelled the wait (the
  // installer is left running), 2 when it could not be started.
  virtual int run(const std::string& path, DownloadProgress& progress) = 0;
};

// The environment variable that keeps an installer quiet.
constexpr const char* kQuietVariable = "LQUIET";
constexpr const char* kDownloadingText = "Download install-on-demand";
constexpr const char* kRunningText = "Running install-on-demand";

struct ComponentSource {
  HttpClient& client;
  InstallerRunner& runner;
  DownloadHosts hosts;
  const InstallerCatalog& installers;
  // Where the component is registered; empty when it is not. Defaults to
  // componentPath().
  std::function<std::string(const std::string&)> lookUp;
};

// 0 when the component's installer ran and the component is now registered,
// 1 when the user cancelled, 2 otherwise (unknown component, both hosts
// failed, an installer we do not trust, or no registration afterwards).
int installComponentOnDemand(const std::string& name, DownloadProgress& progress, const ComponentSource& source);

// The registered program of a component ("Path" under
// Software\Zedirad\Components\<name>, machine-wide hive first, then the
// user's); empty when it is not registered.
std::string componentPath(const std::string& name);

}  // namespace net
