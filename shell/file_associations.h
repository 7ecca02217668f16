#pragma once
// Opening sound files with the editor from the shell, and the editor's verbs
// on them, in HKEY_CLASSES_ROOT. Whatever is overwritten of another
// program's class is kept in a value "Razavo.BAK" beside it and put back
// when the association is removed, so that the files open as they did before.

#include <functional>
#include <string>

#include "sys/registry.h"

namespace shell {

constexpr const char* kBackupValue = "Razavo.BAK";
constexpr const char* kClassDescription = "Razavo File";
// The editor's verbs in the shell's menu of sound files.
constexpr const char* kEditVerb = "Edit with Razavo";
constexpr const char* kBatchVerb = "Batch Convert with Razavo";

class FileAssociations {
 public:
  // changed is called after associations changed, so that the shell
  // refreshes what it shows; it may be empty.
  FileAssociations(sys::Registry& registry, std::function<void()> changed = {})
      : m_registry(registry), m_changed(std::move(changed)) {}

  // Makes files of the extension open in the program. False when a value
  // could not be written.
  bool associate(const std::string& extension, const std::string& programPath);
  // True when files of the extension open in the program.
  bool isAssociated(const std::string& extension, const std::string& programPath) const;
  // Puts back what associate() replaced and removes what it added when
  // nothing was there before; values that changed since are left alone.
  bool removeAssociation(const std::string& extension, const std::string& programPath);

  // A verb of the extension's class in the shell's menu: command followed by
  // the file's name in quotes.
  bool addVerb(const std::string& extension, const std::string& verb, const std::string& command);
  // Removes the verb, and the class keys that held only it.
  bool removeVerb(const std::string& extension, const std::string& verb);

  // The open command of a class associated with the program.
  static std::string openCommand(const std::string& programPath);

 private:
  bool replaceWithBackup(const std::string& key, const std::string& value);
  bool restoreBackup(const std::string& key, const std::string& ours);
  bool removeKeepingBackup(const std::string& key, const std::string& name);
  bool restoreRemoved(const std::string& key, const std::string& name);
  // The extension's class name, written to the extension when it had none
  // (noting that in the extension's backup value).
  std::string claimClass(const std::string& extension, bool& ok);
  // Whether the class still holds an association or a verb of ours.
  bool classHoldsOurs(const std::string& className) const;
  // Deletes the class keys left empty, and gives an extension we named a
  // class for back its own value once the class holds nothing of ours.
  void pruneClass(const std::string& extension, const std::string& className);
  void notifyChanged();

  sys::Registry& m_registry;
  std::function<void()> m_changed;
};

}  // namespace shell
