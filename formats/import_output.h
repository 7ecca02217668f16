#pragma once
// The temporary file an importer decodes into: "Temp%d.wav" (or ".raw") in
// the system's temporary folder.

#include <string>

// The first number from 1 up whose file is free: a stale file of that name
// is deleted first; a number whose file cannot be deleted (another process
// holds it open) is skipped. Empty when none of the numbers is free.
std::string claimImportOutput(const std::string& folder, const std::string& extension);
