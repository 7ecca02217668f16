#include "editor/model/keys_file.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t kKeysFileVersion = 0;

uint32_t ctrl(char letter) { return kKeyCtrl | static_cast<uint32_t>(letter); }
uint32_t ctrlShift(char letter) { return kKeyCtrl | kKeyShift | static_cast<uint32_t>(letter); }

bool readLe32(const std::vector<uint8_t>& bytes, size_t& pos, uint32_t& value) {
  if (bytes.size() - pos < 4) return false;
  value = static_cast<uint32_t>(bytes[pos]) | static_cast<uint32_t>(bytes[pos + 1]) << 8 |
          static_cast<uint32_t>(bytes[pos + 2]) << 16 | static_cast<uint32_t>(bytes[pos + 3]) << 24;
  pos += 4;
  return true;
}

void putLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

KeysFileResult parseKeysFile(const std::vector<uint8_t>& bytes, std::vector<UserKey>& keys) {
  keys.clear();
  if (bytes.empty()) return KeysFileResult::Missing;
  if (bytes[0] != kKeysFileVersion) return KeysFileResult::WrongVersion;
  size_t pos = 1;
  UserKey key;
  while (readLe32(bytes, pos, key.keyCode)) {
    key.commands.clear();
    // A missing count reads as none.
    size_t count = pos < bytes.size() ? bytes[pos++] : 0;
    uint32_t command;
    for (size_t i = 0; i < count && readLe32(bytes, pos, command); ++i) key.commands.push_back(command);
    keys.push_back(key);
  }
  return KeysFileResult::Ok;
}

std::vector<uint8_t> serializeKeysFile(const std::vector<UserKey>& keys) {
  std::vector<uint8_t> out{kKeysFileVersion};
  for (const UserKey& key : keys) {
    putLe32(out, key.keyCode);
    size_t count = std::min<size_t>(key.commands.size(), 255);
    out.push_back(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) putLe32(out, key.commands[i]);
  }
  return out;
}

const UserKey* findUserKey(const std::vector<UserKey>& keys, uint32_t keyCode) {
  auto found = std::find_if(keys.begin(), keys.end(), [keyCode](const UserKey& key) { return key.keyCode == keyCode; });
  return found == keys.end() ? nullptr : &*found;
}

const std::vector<DefaultKey>& defaultKeys() {
  static const std::vector<DefaultKey> table = {
      {ctrl('N'), {1001}},      {ctrl('O'), {1002}},      {ctrl('L'), {1011}},
      {ctrl('S'), {1004}},      {ctrl('Z'), {2001}},      {ctrl('Y'), {2033}},
      {ctrl('X'), {2002}},      {ctrl('C'), {2003}},      {ctrl('V'), {2004}},
      {kVkDelete, {2006}},      {ctrl('A'), {2007}},      {ctrl('G'), {2027}},
      {ctrl('T'), {2010}},      {ctrl('M'), {2011}},      {ctrl('E'), {2012}},
      {ctrl('B'), {8001}},      {ctrl('R'), {8004}},      {ctrlShift('B'), {8003}},
      {ctrlShift('R'), {8000}}, {kKeyCtrl | kVkAdd, {5001}}, {kKeyCtrl | kVkSubtract, {5002}},
      {ctrlShift('S'), {5003}}, {ctrlShift('F'), {5004}}, {ctrlShift('V'), {5005}},
      {ctrlShift('A'), {9001}}, {kVkF1, {6000}},        {kVkF(5), {3001, 3002}},
      {kVkF(9), {3002}},        {kVkF(10), {3004}},     {kVkF(11), {3003}},
      {kVkF12, {3005}},         {kKeyShift | kVkF(9), {3011}}, {kVkEscape, {3006}},
      {kVkHome, {3007}},        {kVkEnd, {3010}},
  };
  return table;
}

std::vector<uint32_t> defaultKeyCommands(uint32_t keyCode) {
  for (const DefaultKey& key : defaultKeys())
    if (key.keyCode == keyCode) return key.commands;
  return {};
}

std::string keyCodeText(uint32_t keyCode) {
  std::string text;
  if (keyCode & kKeyCtrl) text += "Ctrl+";
  if (keyCode & kKeyAlt) text += "Alt+";
  if (keyCode & kKeyShift) text += "Shift+";
  uint32_t key = keyCode & 0xFFFF;
  struct Named {
    uint32_t key;
    const char* name;
  };
  static const Named names[] = {
      {0x08, "Backspace"}, {0x09, "Tab"},      {0x0D, "Enter"},     {0x13, "Pause"},   {0x1B, "Esc"},
      {0x20, "Space"},     {0x21, "PgUp"},     {0x22, "PgDn"},      {0x23, "End"},     {0x24, "Home"},
      {0x25, "Left"},      {0x26, "Up"},       {0x27, "Right"},     {0x28, "Down"},    {0x2D, "Ins"},
      {0x2E, "Del"},       {0x6A, "Num *"},    {0x6B, "Num +"},     {0x6D, "Num -"},   {0x6E, "Num ."},
      {0x6F, "Num /"},     {0xBA, ";"},        {0xBB, "="},         {0xBC, ","},       {0xBD, "-"},
      {0xBE, "."},         {0xBF, "/"},        {0xC0, "`"},         {0xDB, "["},       {0xDC, "\\"},
      {0xDD, "]"},         {0xDE, "'"},
  };
  char buffer[16];
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    text += static_cast<char>(key);
  } else if (key >= 0x60 && key <= 0x69) {
    std::snprintf(buffer, sizeof buffer, "Num %u", key - 0x60);
    text += buffer;
  } else if (key >= kVkF1 && key <= kVkF1 + 23) {
    std::snprintf(buffer, sizeof buffer, "F%u", key - kVkF1 + 1);
    text += buffer;
  } else {
    auto named = std::find_if(std::begin(names), std::end(names), [key](const Named& n) { return n.key == key; });
    if (named != std::end(names)) {
      text += named->name;
    } else {
      std::snprintf(buffer, sizeof buffer, "Key %02X", key);
      text += buffer;
    }
  }
  return text;
}
