#pragma once
// The installers of our own components, with the hashes the build computed
// from them. Defined by a source the build generates; a program links the
// list it ships with.

#include "net/installer_catalog.h"

namespace net {

InstallerCatalog shippedInstallers();

}  // namespace net
