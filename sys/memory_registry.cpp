// The registry as a tree in memory, for platforms without one and for tests.

#include <algorithm>
#include <map>

#include "sys/registry.h"

namespace sys {

std::string Registry::readText(RegistryHive hive, const std::string& key, const std::string& name) const {
  std::optional<RegistryValue> value = readValue(hive, key, name);
  return value && value->isText() ? value->data : std::string();
}

bool Registry::writeText(RegistryHive hive, const std::string& key, const std::string& name,
                         const std::string& text) {
  return writeValue(hive, key, name, RegistryValue{kRegistryText, text});
}

namespace {

std::string folded(const std::string& text) {
  std::string result = text;
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
  return result;
}

// Keys are stored by their folded full path; a key exists when it was
// created, and creating one creates its parents.
class MemoryRegistry final : public Registry {
 public:
  std::optional<RegistryValue> readValue(RegistryHive hive, const std::string& key,
                                         const std::string& name) const override {
    auto found = m_keys.find(pathOf(hive, key));
    if (found == m_keys.end()) return std::nullopt;
    auto value = found->second.find(folded(name));
    if (value == found->second.end()) return std::nullopt;
    return value->second;
  }

  bool writeValue(RegistryHive hive, const std::string& key, const std::string& name,
                  const RegistryValue& value) override {
    createKey(hive, key)[folded(name)] = value;
    return true;
  }

  bool deleteValue(RegistryHive hive, const std::string& key, const std::string& name) override {
    auto found = m_keys.find(pathOf(hive, key));
    if (found != m_keys.end()) found->second.erase(folded(name));
    return true;
  }

  bool keyExists(RegistryHive hive, const std::string& key) const override {
    return m_keys.count(pathOf(hive, key)) != 0;
  }

  bool deleteEmptyKey(RegistryHive hive, const std::string& key) override {
    std::string path = pathOf(hive, key);
    auto found = m_keys.find(path);
    if (found == m_keys.end()) return true;
    if (!found->second.empty()) return false;
    auto next = std::next(found);
    if (next != m_keys.end() && next->first.compare(0, path.size() + 1, path + "\\") == 0) return false;
    m_keys.erase(found);
    return true;
  }

 private:
  using Values = std::map<std::string, RegistryValue>;

  static std::string pathOf(RegistryHive hive, const std::string& key) {
    return std::to_string(static_cast<int>(hive)) + "\\" + folded(key);
  }

  Values& createKey(RegistryHive hive, const std::string& key) {
    std::string path = pathOf(hive, key);
    for (size_t at = path.find('\\', path.find('\\') + 1); at != std::string::npos; at = path.find('\\', at + 1))
      m_keys.try_emplace(path.substr(0, at));
    return m_keys[path];
  }

  std::map<std::string, Values> m_keys;
};

}  // namespace

std::unique_ptr<Registry> makeMemoryRegistry() { return std::make_unique<MemoryRegistry>(); }

}  // namespace sys
