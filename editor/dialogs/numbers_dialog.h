#pragma once
// A dialog of whole-number fields, each checked against its range on OK.
// With restoreDefaults, a "Restore Defaults" button puts every field back to
// its default value.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog.h"

class NumbersDialog : public ui::Dialog {
 public:
  struct Field {
    int id;
    const char* label;
    long long low, high;
    long long value;
    long long defaultValue = 0;
  };
  NumbersDialog(const char* title, std::vector<Field> fields, bool restoreDefaults = false);
  std::vector<Field> fields;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;

 private:
  static ui::DialogTemplate build(const char* title, const std::vector<Field>& fields, bool restoreDefaults);
  std::string m_title;
};
