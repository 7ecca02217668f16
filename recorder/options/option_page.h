#pragma once
// What the option pages share: leaving a page runs its checks (a refused
// entry shows its message and gets the focus back), confirming the sheet
// stores every page.

#include <string>

#include "recorder/model/option_checks.h"
#include "recorder/options/recorder_options.h"
#include "ui/dialog.h"

namespace recorder {

class OptionPage : public ui::Dialog {
 public:
  // Width and height of every page, in dialog units.
  static constexpr int kWidth = 260, kHeight = 210;
  static ui::DialogTemplate layout(const std::string& title);

 protected:
  OptionPage(ui::DialogTemplate layout, const OptionsContext& context)
      : ui::Dialog(std::move(layout)), m_context(context) {}

  // False keeps the page open (a message has been shown).
  virtual bool leave() { return true; }
  virtual void apply() {}

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Shows the check's message and puts the focus on field; true when refused.
  bool refuse(const OptionCheck& check, int field);
  int ask(const std::string& text, const std::string& title, UINT flags);

  const OptionsContext& m_context;
};

}  // namespace recorder
