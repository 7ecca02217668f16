#pragma once
// Base64 with the standard alphabet and "=" padding.

#include <cstddef>
#include <string>
#include <string_view>

namespace mail {

std::string base64Encode(std::string_view bytes);

// Bytes per base64 line of 76 characters.
constexpr size_t kBase64LineBytes = 57;

}  // namespace mail
