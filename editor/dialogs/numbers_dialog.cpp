#include "editor/dialogs/numbers_dialog.h"

#include "ui/text.h"

namespace {
constexpr int kRestoreDefaults = 200;
}

NumbersDialog::NumbersDialog(const char* title, std::vector<Field> fields, bool restoreDefaults)
    : ui::Dialog(build(title, fields, restoreDefaults)), fields(std::move(fields)), m_title(title) {}

ui::DialogTemplate NumbersDialog::build(const char* title, const std::vector<Field>& fields, bool restoreDefaults) {
  int height = 30 + 18 * static_cast<int>(fields.size());
  ui::DialogTemplate dialog(title, 220, height, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
  int y = 8;
  for (const Field& field : fields) {
    dialog.text(-1, field.label, 8, y + 2, 140, 10).edit(field.id, "", 152, y, 60, 12);
    y += 18;
  }
  if (restoreDefaults) dialog.button(kRestoreDefaults, "Restore Defaults", 8, y, 70, 14);
  dialog.defaultButton(IDOK, "OK", 106, y, 50, 14).button(IDCANCEL, "Cancel", 162, y, 50, 14);
  return dialog;
}

bool NumbersDialog::onInit() {
  for (const Field& field : fields) setText(field.id, std::to_string(field.value));
  return true;
}

void NumbersDialog::onCommand(int id, int code) {
  if (id == kRestoreDefaults) {
    for (const Field& field : fields) setText(field.id, std::to_string(field.defaultValue));
    return;
  }
  if (id == IDOK) {
    for (Field& field : fields) {
      std::optional<int> value = getInt(field.id);
      if (!value || *value < field.low || *value > field.high) {
        ui::showMessage(handle(), ui::formatText("Please enter a whole number from %lld to %lld.", field.low, field.high),
                        m_title, MB_OK | MB_ICONINFORMATION);
        SetFocus(item(field.id));
        return;
      }
      field.value = *value;
    }
  }
  ui::Dialog::onCommand(id, code);
}
