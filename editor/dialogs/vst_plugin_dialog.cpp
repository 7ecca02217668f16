// "VST Plugin": the folder (typed, or found with "..."), the plug-ins in it
// by name, and "Settings", which opens the chosen one and shows its
// configuration. The plug-in opened for its settings is the one that runs.

#include <string>
#include <vector>

#include "editor/dialogs/folder_browse.h"
#include "editor/dialogs/plugin_dialogs.h"
#include "editor/dialogs/vst_configuration_dialog.h"
#include "ui/dialog.h"

namespace {

constexpr int kFolder = 101, kBrowse = 102, kPlugins = 103, kSettings = 104;
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kFolderValue = "VSTFolder";

class VstPluginDialog : public ui::Dialog {
 public:
  VstPluginDialog(sys::SettingsStore& store, int32_t sampleRate)
      : ui::Dialog(build()), m_store(store), m_sampleRate(sampleRate) {}

  std::optional<std::shared_ptr<VstPlugin>> chosen;

 protected:
  bool onInit() override {
    m_folder = m_store.read(kSettingsSection, kFolderValue, "");
    setText(kFolder, m_folder);
    listFolder();
    return true;
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kBrowse:
        if (std::string folder = browseForFolder(handle(), L"Locate folder:"); !folder.empty()) {
          setText(kFolder, folder);
          folderTyped();
        }
        return;
      case kFolder:
        if (code == EN_KILLFOCUS) folderTyped();
        return;
      case kPlugins:
        if (code == CBN_SELCHANGE) m_opened.reset();
        return;
      case kSettings:
        folderTyped();
        if (VstPlugin* plugin = openChosen()) showVstConfiguration(handle(), *plugin);
        return;
      case IDOK:
        folderTyped();
        m_store.write(kSettingsSection, kFolderValue, m_folder);
        if (comboSelection(kPlugins) >= 0) chosen = openChosen() ? m_opened : nullptr;
        break;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  static ui::DialogTemplate build() {
    ui::DialogTemplate dialog("VST Plugin", 260, 92, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
    dialog.text(-1, "Plugin &folder:", 8, 8, 120, 10)
        .edit(kFolder, "", 8, 20, 222, 12, ES_AUTOHSCROLL)
        .button(kBrowse, "...", 234, 19, 18, 14)
        .text(-1, "&Plugin:", 8, 40, 120, 10)
        .comboBox(kPlugins, 8, 52, 186, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
        .button(kSettings, "&Settings", 202, 51, 50, 14)
        .defaultButton(IDOK, "OK", 146, 72, 50, 14)
        .button(IDCANCEL, "Cancel", 202, 72, 50, 14);
    return dialog;
  }

  void folderTyped() {
    std::string folder = getText(kFolder);
    if (folder == m_folder) return;
    m_folder = folder;
    listFolder();
  }

  void listFolder() {
    m_opened.reset();
    sendItem(kPlugins, CB_RESETCONTENT);
    m_plugins = m_folder.empty() ? std::vector<VstPluginEntry>{} : listVstPlugins(m_folder);
    for (const VstPluginEntry& plugin : m_plugins) addComboItem(kPlugins, plugin.name);
    if (!m_plugins.empty()) setComboSelection(kPlugins, 0);
    enable(kSettings, !m_plugins.empty());
  }

  // The chosen plug-in, opened once per choice; null when none is chosen or
  // it cannot be opened.
  VstPlugin* openChosen() {
    const int index = comboSelection(kPlugins);
    if (index < 0 || index >= static_cast<int>(m_plugins.size())) return nullptr;
    if (!m_opened) m_opened = VstPlugin::open(m_plugins[index].path, m_sampleRate);
    return m_opened.get();
  }

  sys::SettingsStore& m_store;
  int32_t m_sampleRate;
  std::string m_folder;
  std::vector<VstPluginEntry> m_plugins;
  std::shared_ptr<VstPlugin> m_opened;
};

}  // namespace

std::optional<std::shared_ptr<VstPlugin>> chooseVstPlugin(HWND owner, sys::SettingsStore& store,
                                                          int32_t sampleRate) {
  VstPluginDialog dialog(store, sampleRate);
  if (dialog.runModal(owner) != IDOK) return std::nullopt;
  return dialog.chosen;
}
