#pragma once
// The settings store: every value a string, every read names its default.
// On Windows the values live in the registry under
// HKEY_CURRENT_USER\<root>\<section>; elsewhere in memory.

#include <memory>
#include <string>

namespace sys {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or fallback when the value is missing or empty.
  virtual std::string read(const std::string& section, const std::string& name,
                           const std::string& fallback) const = 0;
  virtual bool write(const std::string& section, const std::string& name,
                     const std::string& value) = 0;
  virtual bool remove(const std::string& section, const std::string& name) = 0;

  // Numbers are stored as decimal text; text that is not a number reads as fallback.
  long long readNumber(const std::string& section, const std::string& name,
                       long long fallback) const;
  bool writeNumber(const std::string& section, const std::string& name, long long value);
};

// A store that keeps its values in memory; tests fill it directly.
std::unique_ptr<SettingsStore> makeMemorySettingsStore();
// The program's own store under root, e.g. "Software\\Zedirad\\Razavo".
std::unique_ptr<SettingsStore> openProgramSettings(const std::string& root);
// A value of the machine-wide hive first, then the user's (components key).
std::string readMachineThenUser(const std::string& key, const std::string& name);

}  // namespace sys
