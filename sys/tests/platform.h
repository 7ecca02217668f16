#pragma once
// What the tests of the system layer may expect of the platform they run on.

namespace systest {

#ifdef _WIN32
constexpr bool kOnWindows = true;
#else
constexpr bool kOnWindows = false;
#endif

}  // namespace systest
