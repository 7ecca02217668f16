#include "sys/settings_store.h"

namespace sys {

// Outside Windows there is no registry; programs run natively only in tests
// and benchmarks, which keep their settings in memory.
std::unique_ptr<SettingsStore> openProgramSettings(const std::string&) { return makeMemorySettingsStore(); }

std::string readMachineThenUser(const std::string&, const std::string&) { return {}; }

}  // namespace sys
