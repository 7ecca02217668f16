#pragma once
// The entry that starts the recorder at logon: the value "RezaraRun" under
// the current user's Run key, so that only the user who asked for it is
// recorded.

#include <string>

namespace recorder {

bool runsAtLogon();
// Adds the entry for programPath, or removes it; false when the registry refused.
bool setRunAtLogon(bool on, const std::string& programPath);

}  // namespace recorder
