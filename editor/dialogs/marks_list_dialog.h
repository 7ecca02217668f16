#pragma once
// What the bookmark and region list windows share: a list of entries that
// can be chosen several at a time (Tab separates the columns), a button
// column on the right, F2 to rename and Delete to delete the chosen ones.

#include <string>
#include <vector>

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

  virtual void renameSelected() = 0;
  virtual void deleteSelected() = 0;
  virtual void activateSelected() = 0;  // a double click

  bool onInit() override;
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onCommand(int id, int code) override;
};
