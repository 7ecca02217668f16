#pragma once
// What the bookmark and region list windows share: a list of entries that
// can be chosen several at a time (Tab separates the columns), a button
// column on the right, F2 to rename and Delete to delete the chosen ones.

#include <string>
#include <vector>

#include "editor/dialogs/name_dialog.h"
#include "editor/model/named_list.h"
#include "ui/dialog.h"

class MarksListDialog : public ui::Dialog {
 public:
  static constexpr int kList = 101;
  // Buttons are numbered from kFirstButton down the column.
  static constexpr int kFirstButton = 110;

 protected:
  MarksListDialog(const std::string& title, const std::vector<std::string>& buttons);

  // The list's lines, and the selection to keep where it can.
  void fill(const std::vector<std::string>& lines, const std::vector<int>& selected = {});
  std::vector<int> selectedIndices() const;
  int firstSelected() const;  // -1 when none
  bool confirm(const std::string& text, const std::string& caption);
  // Asks for a new name of entries[index] and takes it unless it is empty or
  // another entry's; kind ("Bookmark", "Region") names them in the messages.
  // True when the entry was renamed.
  template <class Entry>
  bool renameEntry(std::vector<Entry>& entries, int index, const std::string& kind) {
    std::string name = entries[index].name;
    if (!askName(handle(), "Rename " + kind, name)) return false;
    const RenameCheck check = checkRename(entries, index, name);
    if (check != RenameCheck::Ok) {
      refuseName(check, kind);
      return false;
    }
    entries[index].name = name;
    return true;
  }

  void refuseName(RenameCheck check, const std::string& kind);

  virtual void renameSelected() = 0;
  virtual void deleteSelected() = 0;
  virtual void activateSelected() = 0;  // a double click

  bool onInit() override;
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onCommand(int id, int code) override;
};
