#include "net/installer_catalog.h"

#include <cctype>

namespace net {

namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const InstallerHash* find(const std::vector<InstallerHash>& entries, const std::string& component) {
  for (const InstallerHash& entry : entries)
    if (entry.component == component) return &entry;
  return nullptr;
}

}  // namespace

bool InstallerCatalog::knows(const std::string& component) const { return find(m_entries, component) != nullptr; }

bool InstallerCatalog::matches(const std::string& component, const std::string& actualSha256) const {
  const InstallerHash* entry = find(m_entries, component);
  // An empty or malformed hash on either side never matches.
  if (!entry || entry->sha256.size() != 64 || actualSha256.size() != 64) return false;
  return lowerCase(entry->sha256) == lowerCase(actualSha256);
}

bool isComponentName(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  return true;
}

}  // namespace net
