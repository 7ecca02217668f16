#pragma once
// The messages of importing other formats; %s in each is the full path.

#include <string>

namespace import_messages {

// Shared with the built-in readers.
std::string corrupt(const std::string& path);
std::string missing(const std::string& path);
std::string cannotOpen(const std::string& path);

std::string componentNotInstalled(const std::string& component);
std::string protectedOrCorruptWma(const std::string& path);
std::string vendorCodecMissing(const std::string& path);
std::string unsupported(const std::string& path);

std::string voiceItMissing();
std::string realAudioMissing();
std::string realAudioCannotOpen();
std::string dssMissing();
std::string dssCannotStart();

std::string dictationLoadError();
std::string dictationCorrupt();

}  // namespace import_messages
