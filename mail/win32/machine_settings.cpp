// The machine-wide e-mail values an administrator may set, read only.

#include <windows.h>

#include "mail/mail_settings.h"
#include "sys/win32/wide_text.h"

namespace mail {
namespace {

class MachineWideStore : public sys::SettingsStore {
 public:
  explicit MachineWideStore(std::string root) : m_root(std::move(root)) {}
  std::string read(const std::string& section, const std::string& name, const std::string& fallback) const override {
    std::wstring text;
    if (!sys::win32::readRegistryText(HKEY_LOCAL_MACHINE, sys::win32::widen(m_root + "\\" + section),
                                      sys::win32::widen(name), text) ||
        text.empty())
      return fallback;
    return sys::win32::narrow(text);
  }
  bool write(const std::string&, const std::string&, const std::string&) override { return false; }
  bool remove(const std::string&, const std::string&) override { return false; }

 private:
  std::string m_root;
};

}  // namespace

std::unique_ptr<sys::SettingsStore> openMachineWideSettings(const std::string& root) {
  return std::make_unique<MachineWideStore>(root);
}

}  // namespace mail
