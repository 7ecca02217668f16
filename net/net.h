#pragma once
// Network services: component download on demand.

#include "net/download_file.h"
#include "net/download_hosts.h"
#include "net/http_client.h"
#include "net/install_on_demand.h"
#include "net/installer_catalog.h"
#include "net/sha256.h"
