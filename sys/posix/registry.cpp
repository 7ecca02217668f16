// Without a system registry the programs' registrations live in memory for
// the life of the process.

#include "sys/registry.h"

namespace sys {

Registry& systemRegistry() {
  static std::unique_ptr<Registry> registry = makeMemoryRegistry();
  return *registry;
}

}  // namespace sys
