#include "editor/dialogs/region_export_dialog.h"

#include "editor/dialogs/folder_browse.h"
#include "sys/folders.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kFolder = 101, kBrowse = 102, kFormat = 103;

class RegionExportDialog final : public ui::Dialog {
 public:
  RegionExportDialog(const std::vector<std::string>& extensions, RegionExportChoice& choice)
      : ui::Dialog(ui::DialogTemplate("Export Region(s) to Folder", 260, 84)
                       .text(-1, "Output folder:", 8, 10, 60, 10)
                       .edit(kFolder, "", 70, 8, 156, 12, ES_AUTOHSCROLL)
                       .button(kBrowse, "...", 230, 8, 22, 12)
                       .text(-1, "Format:", 8, 30, 60, 10)
                       .comboBox(kFormat, 70, 28, 80, 120, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .defaultButton(IDOK, "OK", 146, 62, 50, 14)
                       .button(IDCANCEL, "Cancel", 202, 62, 50, 14)),
        m_extensions(extensions),
        m_choice(choice) {}

 protected:
  bool onInit() override {
    setText(kFolder, m_choice.folder);
    int chosen = 0;
    for (size_t i = 0; i < m_extensions.size(); ++i) {
      addComboItem(kFormat, m_extensions[i].substr(1));
      if (m_extensions[i] == m_choice.extension) chosen = static_cast<int>(i);
    }
    setComboSelection(kFormat, chosen);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == kBrowse) {
      std::string folder = browseForFolder(handle(), L"Export the regions to:");
      if (!folder.empty()) setText(kFolder, folder);
      return;
    }
    if (id == IDOK) {
      std::string folder = getText(kFolder);
      if (folder.empty() || !sys::folderExists(folder)) {
        ui::showMessage(handle(), "The export folder is invalid. Please select a valid folder.", "Razavo",
                        MB_OK | MB_ICONWARNING);
        return;
      }
      int format = comboSelection(kFormat);
      m_choice.folder = folder;
      m_choice.extension = m_extensions.at(format < 0 ? 0 : static_cast<size_t>(format));
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  const std::vector<std::string>& m_extensions;
  RegionExportChoice& m_choice;
};

}  // namespace

bool askRegionExport(HWND owner, const std::vector<std::string>& extensions, RegionExportChoice& choice) {
  RegionExportDialog dialog(extensions, choice);
  return dialog.runModal(owner) == IDOK;
}
