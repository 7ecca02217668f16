#include "formats/tag_text.h"

#include <cstdint>
#include <vector>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string trimmedTagText(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

namespace {

void putUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code points of UTF-8 text; empty optional when the bytes are not UTF-8.
std::optional<std::vector<uint32_t>> codePoints(const std::string& text) {
  std::vector<uint32_t> codes;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size()) return std::nullopt;
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = code << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are no UTF-8.
    constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return std::nullopt;
    codes.push_back(code);
    i += extra + 1;
  }
  return codes;
}

}  // namespace

void setTagValue(TagSet& tags, const std::string& name, const std::string& value, bool fillOnly) {
  std::string text = trimmedTagText(value);
  for (auto& entry : tags) {
    if (entry.first != name) continue;
    if (!fillOnly || entry.second.empty()) entry.second = std::move(text);
    return;
  }
  tags.emplace_back(name, std::move(text));
}

std::string tagValueOf(const TagSet& tags, const std::string& name) {
  for (const auto& entry : tags)
    if (entry.first == name) return entry.second;
  return {};
}

bool hasTag(const TagSet& tags, const std::string& name) {
  for (const auto& entry : tags)
    if (entry.first == name) return true;
  return false;
}

std::string readBackValue(const std::string& text) {
  std::string value = text.substr(0, text.find('\0'));
  // Counts characters, not bytes, and never cuts one in half.
  size_t chars = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if ((static_cast<uint8_t>(value[i]) & 0xC0) == 0x80) continue;
    if (++chars > kMaxTagChars) return value.substr(0, i);
  }
  return value;
}

std::string latin1ToUtf8(const std::string& text) {
  std::string out;
  for (char c : text) putUtf8(out, static_cast<uint8_t>(c));
  return out;
}

bool isUtf8(const std::string& text) { return codePoints(text).has_value(); }

std::optional<std::string> utf8ToLatin1(const std::string& text) {
  auto codes = codePoints(text);
  if (!codes) return std::nullopt;
  std::string out;
  for (uint32_t code : *codes) {
    if (code > 0xFF) return std::nullopt;
    out += static_cast<char>(code);
  }
  return out;
}

std::string utf8ToLatin1Lossy(const std::string& text) {
  auto codes = codePoints(text);
  if (!codes) return text;
  std::string out;
  for (uint32_t code : *codes) out += code <= 0xFF ? static_cast<char>(code) : '?';
  return out;
}

std::string utf16ToUtf8(const uint8_t* data, size_t bytes, bool bigEndian) {
  size_t i = 0;
  if (bytes >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    bigEndian = data[0] == 0xFE;
    i = 2;
  }
  auto unit = [&](size_t at) -> uint32_t {
    return bigEndian ? (data[at] << 8 | data[at + 1]) : (data[at] | data[at + 1] << 8);
  };
  std::string out;
  for (; i + 1 < bytes; i += 2) {
    uint32_t code = unit(i);
    if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes) {
      const uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        code = 0xFFFD;
      }
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    putUtf8(out, code);
  }
  return out;
}

std::string utf8ToUtf16WithBom(const std::string& text) {
  std::string out = "\xFF\xFE";
  auto putUnit = [&](uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  auto codes = codePoints(text);
  if (!codes) {
    // Not UTF-8: each byte stands for itself, as Latin-1 would read it.
    for (char c : text) putUnit(static_cast<uint8_t>(c));
    return out;
  }
  for (uint32_t code : *codes) {
    if (code >= 0x10000) {
      putUnit(0xD800 + ((code - 0x10000) >> 10));
      putUnit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      putUnit(code);
    }
  }
  return out;
}
