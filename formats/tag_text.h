#pragma once
// Text of tags: the rules of a tag set, and the character sets tags are
// stored in. Values inside the program are UTF-8.

#include <optional>
#include <string>

#include "formats/formats.h"

// Sets a value, trimmed of blanks at both ends. Replaces the value of the
// same name, or with fillOnly leaves a non-empty one alone.
void setTagValue(TagSet& tags, const std::string& name, const std::string& value, bool fillOnly = false);
// The value of a name, empty when absent.
std::string tagValueOf(const TagSet& tags, const std::string& name);
bool hasTag(const TagSet& tags, const std::string& name);
std::string trimmedTagText(const std::string& text);

// A value as it is read back: cut at its first zero and to kMaxTagChars
// characters.
constexpr size_t kMaxTagChars = 259;
std::string readBackValue(const std::string& text);

std::string latin1ToUtf8(const std::string& text);
bool isUtf8(const std::string& text);
// Empty when the text holds a character beyond Latin-1 (or is not UTF-8).
std::optional<std::string> utf8ToLatin1(const std::string& text);
// Latin-1 where it can: other characters become '?', and bytes that are not
// UTF-8 stand for themselves.
std::string utf8ToLatin1Lossy(const std::string& text);
// UTF-16 of the given byte order, or by its byte-order mark when it has one;
// a broken surrogate becomes U+FFFD.
std::string utf16ToUtf8(const uint8_t* data, size_t bytes, bool bigEndian);
// Little-endian UTF-16 after its byte-order mark.
std::string utf8ToUtf16WithBom(const std::string& text);
