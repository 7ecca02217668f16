#include "shell/file_associations.h"

#include "shell/file_types.h"

namespace shell {

namespace {

constexpr auto kClasses = sys::RegistryHive::ClassesRoot;

std::string iconOf(const std::string& programPath) { return programPath + ",0"; }

bool isEmptyValue(const std::optional<sys::RegistryValue>& value) { return !value || value->data.empty(); }

}  // namespace

std::string FileAssociations::openCommand(const std::string& programPath) {
  return "\"" + programPath + "\" \"%L\"";
}

std::string FileAssociations::claimClass(const std::string& extension, bool& ok) {
  std::string name = m_registry.readText(kClasses, extension, "");
  if (!name.empty()) return name;
  name = defaultClassName(extension);
  if (!m_registry.readValue(kClasses, extension, kBackupValue))
    ok = m_registry.writeText(kClasses, extension, kBackupValue, "") && ok;
  ok = m_registry.writeText(kClasses, extension, "", name) && ok;
  return name;
}

// The default value of key becomes value; what it held before is kept in
// the backup value unless a backup is there already, so that associating
// twice never loses the first program's value.
bool FileAssociations::replaceWithBackup(const std::string& key, const std::string& value) {
  std::optional<sys::RegistryValue> previous = m_registry.readValue(kClasses, key, "");
  bool ok = true;
  if (!isEmptyValue(previous) && !(previous->isText() && previous->data == value) &&
      !m_registry.readValue(kClasses, key, kBackupValue))
    ok = m_registry.writeValue(kClasses, key, kBackupValue, *previous);
  return ok && m_registry.writeText(kClasses, key, "", value);
}

// Puts the backup back as the default value. Without a backup nothing was
// there before, so a default that is still ours goes.
bool FileAssociations::restoreBackup(const std::string& key, const std::string& ours) {
  if (std::optional<sys::RegistryValue> backup = m_registry.readValue(kClasses, key, kBackupValue))
    return m_registry.writeValue(kClasses, key, "", *backup) && m_registry.deleteValue(kClasses, key, kBackupValue);
  if (m_registry.readText(kClasses, key, "") == ours) return m_registry.deleteValue(kClasses, key, "");
  return true;
}

// Removes a named value that would keep the shell from using our command,
// keeping it in the key's own backup value.
bool FileAssociations::removeKeepingBackup(const std::string& key, const std::string& name) {
  std::optional<sys::RegistryValue> value = m_registry.readValue(kClasses, key, name);
  if (!value) return true;
  bool ok = true;
  if (!m_registry.readValue(kClasses, key, kBackupValue))
    ok = m_registry.writeValue(kClasses, key, kBackupValue, *value);
  return ok && m_registry.deleteValue(kClasses, key, name);
}

bool FileAssociations::restoreRemoved(const std::string& key, const std::string& name) {
  std::optional<sys::RegistryValue> backup = m_registry.readValue(kClasses, key, kBackupValue);
  if (!backup) return true;
  return m_registry.writeValue(kClasses, key, name, *backup) && m_registry.deleteValue(kClasses, key, kBackupValue);
}

bool FileAssociations::associate(const std::string& extension, const std::string& programPath) {
  bool ok = true;
  std::string className = claimClass(extension, ok);
  ok = replaceWithBackup(className, kClassDescription) && ok;
  ok = replaceWithBackup(className + "\\DefaultIcon", iconOf(programPath)) && ok;
  ok = replaceWithBackup(className + "\\shell", "Open") && ok;
  ok = replaceWithBackup(className + "\\shell\\open\\command", openCommand(programPath)) && ok;
  ok = removeKeepingBackup(className + "\\shell\\open", "LegacyDisable") && ok;
  ok = removeKeepingBackup(className + "\\shell\\open\\DropTarget", "CLSID") && ok;
  notifyChanged();
  return ok;
}

bool FileAssociations::isAssociated(const std::string& extension, const std::string& programPath) const {
  std::string className = classNameOf(m_registry, extension);
  return m_registry.readText(kClasses, className + "\\shell\\open\\command", "") == openCommand(programPath);
}

bool FileAssociations::removeAssociation(const std::string& extension, const std::string& programPath) {
  std::string className = classNameOf(m_registry, extension);
  bool ok = restoreBackup(className, kClassDescription);
  ok = restoreBackup(className + "\\DefaultIcon", iconOf(programPath)) && ok;
  ok = restoreBackup(className + "\\shell", "Open") && ok;
  ok = restoreBackup(className + "\\shell\\open\\command", openCommand(programPath)) && ok;
  ok = restoreRemoved(className + "\\shell\\open", "LegacyDisable") && ok;
  ok = restoreRemoved(className + "\\shell\\open\\DropTarget", "CLSID") && ok;
  pruneClass(extension, className);
  notifyChanged();
  return ok;
}

bool FileAssociations::addVerb(const std::string& extension, const std::string& verb, const std::string& command) {
  bool ok = true;
  std::string className = claimClass(extension, ok);
  return m_registry.writeText(kClasses, className + "\\Shell\\" + verb + "\\command", "", command + " \"%L\"") && ok;
}

bool FileAssociations::removeVerb(const std::string& extension, const std::string& verb) {
  std::string className = classNameOf(m_registry, extension);
  std::string verbKey = className + "\\Shell\\" + verb;
  bool ok = m_registry.deleteValue(kClasses, verbKey + "\\command", "") &&
            m_registry.deleteEmptyKey(kClasses, verbKey + "\\command") && m_registry.deleteEmptyKey(kClasses, verbKey);
  pruneClass(extension, className);
  return ok;
}

bool FileAssociations::classHoldsOurs(const std::string& className) const {
  return m_registry.readText(kClasses, className, "") == kClassDescription ||
         m_registry.keyExists(kClasses, className + "\\Shell\\" + kEditVerb) ||
         m_registry.keyExists(kClasses, className + "\\Shell\\" + kBatchVerb);
}

void FileAssociations::pruneClass(const std::string& extension, const std::string& className) {
  for (const char* key : {"\\shell\\open\\command", "\\shell\\open", "\\shell", "\\DefaultIcon", ""})
    m_registry.deleteEmptyKey(kClasses, className + key);
  std::optional<sys::RegistryValue> backup = m_registry.readValue(kClasses, extension, kBackupValue);
  // A class that opens files (for another program since) keeps its extension.
  if (!backup || classHoldsOurs(className) || m_registry.keyExists(kClasses, className + "\\shell\\open\\command"))
    return;
  if (backup->data.empty())
    m_registry.deleteValue(kClasses, extension, "");
  else
    m_registry.writeValue(kClasses, extension, "", *backup);
  m_registry.deleteValue(kClasses, extension, kBackupValue);
  m_registry.deleteEmptyKey(kClasses, extension);
}

void FileAssociations::notifyChanged() {
  if (m_changed) m_changed();
}

}  // namespace shell
