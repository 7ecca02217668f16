#include "sys/settings_store.h"

#include <cerrno>
#include <cstdlib>
#include <map>

namespace sys {

long long SettingsStore::readNumber(const std::string& section, const std::string& name,
                                    long long fallback) const {
  std::string text = read(section, name, "");
  if (text.empty()) return fallback;
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str()) return fallback;
  return value;
}

bool SettingsStore::writeNumber(const std::string& section, const std::string& name, long long value) {
  return write(section, name, std::to_string(value));
}

namespace {

class MemorySettingsStore final : public SettingsStore {
 public:
  std::string read(const std::string& section, const std::string& name,
                   const std::string& fallback) const override {
    auto found = m_values.find({section, name});
    return found == m_values.end() || found->second.empty() ? fallback : found->second;
  }
  bool write(const std::string& section, const std::string& name, const std::string& value) override {
    m_values[{section, name}] = value;
    return true;
  }
  bool remove(const std::string& section, const std::string& name) override {
    return m_values.erase({section, name}) > 0;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> m_values;
};

}  // namespace

std::unique_ptr<SettingsStore> makeMemorySettingsStore() { return std::make_unique<MemorySettingsStore>(); }

}  // namespace sys
