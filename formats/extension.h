#pragma once

#include <string>

// The lower-case extension of a path with its dot (".wav"), or "" when none.
std::string lowerExtension(const std::string& path);
