#include "editor/dialogs/file_type_list.h"

#include <commctrl.h>

#include "shell/file_types.h"
#include "ui/text.h"

void fillFileTypeList(HWND list, const shell::FileAssociations& associations, const std::string& programPath) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT area{};
  GetClientRect(list, &area);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = area.right - GetSystemMetrics(SM_CXVSCROLL);
  ListView_InsertColumn(list, 0, &column);
  int index = 0;
  for (const char* extension : shell::kSoundExtensions) {
    std::wstring text = ui::widen(extension);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    ListView_InsertItem(list, &item);
    ListView_SetCheckState(list, index, associations.isAssociated(extension, programPath));
    ++index;
  }
}

bool applyFileTypeList(HWND list, shell::FileAssociations& associations, const std::string& programPath) {
  bool ok = true;
  int index = 0;
  for (const char* extension : shell::kSoundExtensions) {
    bool checked = ListView_GetCheckState(list, index++) != 0;
    bool associated = associations.isAssociated(extension, programPath);
    if (checked && !associated) ok = associations.associate(extension, programPath) && ok;
    if (!checked && associated) ok = associations.removeAssociation(extension, programPath) && ok;
  }
  return ok;
}
