#pragma once
// Keys: the user's own key assignments (the keys file) and the built-in
// table. A key code is the virtual key with modifier bits above it.

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kKeyAlt = 0x10000;
constexpr uint32_t kKeyCtrl = 0x20000;
constexpr uint32_t kKeyShift = 0x40000;
constexpr uint32_t kKeyModifiers = kKeyAlt | kKeyCtrl | kKeyShift;

// Virtual keys used by the tables (letters and digits are their ASCII codes).
constexpr uint32_t kVkEscape = 0x1B, kVkEnd = 0x23, kVkHome = 0x24, kVkDelete = 0x2E;
constexpr uint32_t kVkAdd = 0x6B, kVkSubtract = 0x6D, kVkF1 = 0x70, kVkF12 = 0x7B;
constexpr uint32_t kVkF(int n) { return kVkF1 + static_cast<uint32_t>(n - 1); }

struct UserKey {
  uint32_t keyCode;
  std::vector<uint32_t> commands;  // run in order
  bool operator==(const UserKey&) const = default;
};

enum class KeysFileResult { Ok, Missing, WrongVersion };

// The file: a version byte (0), then entries of key code (u32 LE), command
// count (u8) and that many command IDs (u32 LE). A file cut short keeps the
// entries and commands that are whole.
KeysFileResult parseKeysFile(const std::vector<uint8_t>& bytes, std::vector<UserKey>& keys);
// Entries with more than 255 commands keep their first 255.
std::vector<uint8_t> serializeKeysFile(const std::vector<UserKey>& keys);
const UserKey* findUserKey(const std::vector<UserKey>& keys, uint32_t keyCode);

struct DefaultKey {
  uint32_t keyCode;
  std::vector<uint32_t> commands;
};
// The built-in assignments. Transport keys that act on press and release
// (Left/F7, Right/F8, Space, Shift) belong to the frame and are not here.
const std::vector<DefaultKey>& defaultKeys();
// The built-in commands of a key; empty when it has none.
std::vector<uint32_t> defaultKeyCommands(uint32_t keyCode);

// "Ctrl+Alt+Shift+F9" style text.
std::string keyCodeText(uint32_t keyCode);
