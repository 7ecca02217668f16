#pragma once
// Names of new, not yet saved sounds: "Untitled 1" to "Untitled 19".

#include <string>
#include <vector>

constexpr int kMaxUntitledNumber = 19;

// The smallest number no open window uses; 1 when all are taken.
int nextUntitledNumber(const std::vector<std::string>& openNames);
std::string untitledName(int n);
