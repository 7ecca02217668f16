#pragma once
// The sound file types the editor registers itself for, and how the shell
// names the class of an extension.

#include <array>
#include <string>

#include "sys/registry.h"

namespace shell {

constexpr std::array<const char*, 35> kSoundExtensions = {
    ".wav", ".mp3", ".ogg", ".wma", ".aif", ".aiff", ".au",  ".ra",  ".ram", ".flac", ".aac", ".gsm",
    ".vox", ".raw", ".dss", ".dct", ".m4a", ".mp2",  ".sri", ".mpga", ".msv", ".dvf", ".act", ".rcd",
    ".rec", ".shn", ".asf", ".cda", ".rm",  ".rmj",  ".amr", ".avi", ".mpg", ".mpeg", ".wmv"};
// Projects open in the editor too, but are no sound file.
constexpr const char* kProjectExtension = ".vrp";

// The extension's class: its key's default value, or, when that is missing
// or empty, the extension without its dot followed by "file".
std::string classNameOf(const sys::Registry& registry, const std::string& extension);
// The class name the shell uses for an extension that has none of its own.
std::string defaultClassName(const std::string& extension);

}  // namespace shell
