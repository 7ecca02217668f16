#pragma once
// The genre names of ID3v1 tags with their common extensions: the genre
// byte of a tag is an index into this list.

#include <string>

constexpr int kGenreCount = 147;
// The name of a genre byte; null when it is not in the list.
const char* genreName(int index);
// The index of a name (compared without regard to case), or -1.
int genreIndex(const std::string& name);
