#pragma once
// The component installers this program trusts: each component's name with
// the SHA-256 of its installer as built. A download runs only when its hash
// is on this list.

#include <optional>
#include <string>
#include <vector>

namespace net {

struct InstallerHash {
  std::string component;
  std::string sha256;  // hexadecimal
};

class InstallerCatalog {
 public:
  InstallerCatalog() = default;
  explicit InstallerCatalog(std::vector<InstallerHash> entries) : m_entries(std::move(entries)) {}

  // True when component is listed and actualSha256 (hex, any case) is its hash.
  bool matches(const std::string& component, const std::string& actualSha256) const;
  bool knows(const std::string& component) const;
  size_t size() const { return m_entries.size(); }

 private:
  std::vector<InstallerHash> m_entries;
};

// A component name is also a file name and part of a URL: letters, digits,
// '-' and '_' only, at most 64 of them.
bool isComponentName(const std::string& name);

}  // namespace net
