#pragma once
// Walks the pages of an Ogg file and tells whether it is whole: every page
// passes its checksum, nothing lies between or after the pages, and every
// logical stream that begins also ends (a file cut short lacks its last
// page, or ends inside one).
#include <cstdio>
#include <string>

namespace components {

// Returns an empty text for a whole file, else what is wrong with it. The
// file is read from its current position to its end.
std::string oggDamage(std::FILE* file);

}  // namespace components
