#pragma once
// The system's registry as a tree of keys with named values, in the three
// hives the programs touch. On Windows it is the registry itself; elsewhere,
// and in tests, a tree in memory. Key paths use '\\' and compare ignoring
// case; the empty value name is a key's default value.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sys {

enum class RegistryHive { ClassesRoot, LocalMachine, CurrentUser };

// The registry's value types that hold text; their data is UTF-8 text here.
constexpr uint32_t kRegistryText = 1;        // REG_SZ
constexpr uint32_t kRegistryExpandText = 2;  // REG_EXPAND_SZ, kept unexpanded

struct RegistryValue {
  uint32_t type = kRegistryText;
  std::string data;  // the text for text types, the raw bytes otherwise
  bool isText() const { return type == kRegistryText || type == kRegistryExpandText; }
  bool operator==(const RegistryValue&) const = default;
};

class Registry {
 public:
  virtual ~Registry() = default;
  virtual std::optional<RegistryValue> readValue(RegistryHive hive, const std::string& key,
                                                 const std::string& name) const = 0;
  // Creates the key and its parents when missing.
  virtual bool writeValue(RegistryHive hive, const std::string& key, const std::string& name,
                          const RegistryValue& value) = 0;
  // True when the value is absent afterwards (also when it never was there).
  virtual bool deleteValue(RegistryHive hive, const std::string& key, const std::string& name) = 0;
  virtual bool keyExists(RegistryHive hive, const std::string& key) const = 0;
  // Deletes the key only when it holds no values and no subkeys; true when
  // the key is absent afterwards.
  virtual bool deleteEmptyKey(RegistryHive hive, const std::string& key) = 0;

  // The text of a text value; empty when missing or not text.
  std::string readText(RegistryHive hive, const std::string& key, const std::string& name) const;
  bool writeText(RegistryHive hive, const std::string& key, const std::string& name, const std::string& text);
};

std::unique_ptr<Registry> makeMemoryRegistry();
// The registry of the platform: the real one on Windows, one in memory that
// lives as long as the process elsewhere.
Registry& systemRegistry();

}  // namespace sys
