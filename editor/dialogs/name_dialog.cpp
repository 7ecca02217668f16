#include "editor/dialogs/name_dialog.h"

#include "ui/dialog.h"

namespace {

constexpr int kName = 101;

class NameDialog : public ui::Dialog {
 public:
  NameDialog(const std::string& title, std::string& name, int maxCharacters)
      : ui::Dialog(ui::DialogTemplate(title, 220, 62)
                       .text(-1, "Name:", 8, 10, 30, 10)
                       .edit(kName, "", 40, 8, 172, 12, ES_AUTOHSCROLL)
                       .defaultButton(IDOK, "OK", 106, 38, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 38, 50, 14)),
        m_name(name),
        m_maxCharacters(maxCharacters) {}

 protected:
  bool onInit() override {
    sendItem(kName, EM_LIMITTEXT, static_cast<WPARAM>(m_maxCharacters));
    setText(kName, m_name);
    sendItem(kName, EM_SETSEL, 0, -1);
    SetFocus(item(kName));
    return false;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) m_name = getText(kName);
    ui::Dialog::onCommand(id, code);
  }

 private:
  std::string& m_name;
  int m_maxCharacters;
};

}  // namespace

bool askName(HWND owner, const std::string& title, std::string& name, int maxCharacters) {
  NameDialog dialog(title, name, maxCharacters);
  return dialog.runModal(owner) == IDOK;
}
