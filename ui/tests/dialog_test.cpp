#include "ui/dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "ui/text.h"

namespace {

constexpr int kName = 200, kLabel = 201, kLoop = 202, kLeft = 203, kRight = 204;
constexpr int kFormat = 205, kFiles = 206, kBar = 207, kApply = 208;

ui::DialogTemplate formTemplate() {
  return ui::DialogTemplate("New File \xE2\x80\x93 \xC3\xBC", 200, 150)
      .text(kLabel, "&Name:", 7, 9, 40, 8)
      .edit(kName, "untitled", 50, 7, 140, 12)
      .checkBox(kLoop, "Loop", 7, 25, 60, 10)
      .radio(kLeft, "Left", 7, 40, 40, 10, true)
      .radio(kRight, "Right", 50, 40, 40, 10, false)
      .comboBox(kFormat, 7, 55, 100, 60)
      .listBox(kFiles, 7, 72, 100, 40)
      .progressBar(kBar, 7, 115, 100, 8)
      .button(kApply, "Apply", 90, 130, 50, 14)
      .defaultButton(IDOK, "OK", 145, 130, 50, 14);
}

// Opens the helpers to the test; Apply ends the dialog with endWith.
class FormDialog : public ui::Dialog {
 public:
  explicit FormDialog(ui::DialogTemplate layout = formTemplate()) : Dialog(std::move(layout)) {}
  using Dialog::comboSelection, Dialog::getInt, Dialog::getText, Dialog::isChecked,
      Dialog::setText;
  int initCalls = 0;
  INT_PTR endWith = 0;

 protected:
  bool onInit() override {
    ++initCalls;
    addComboItem(kFormat, "WAVE");
    addComboItem(kFormat, "AIFF");
    setComboSelection(kFormat, 1);
    if (endWith != 0) PostMessageW(handle(), WM_COMMAND, kApply, 0);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == kApply) endDialog(endWith);
    Dialog::onCommand(id, code);
  }
};

std::wstring itemText(HWND dialog, int id) {
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

TEST(Dialog, ATemplateBuiltDialogHasItsControlsAndTheHelpersReadAndWriteThem) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  FormDialog form;
  HWND dialog = form.createModeless(nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(form.handle(), dialog);
  EXPECT_EQ(form.initCalls, 1);
  EXPECT_EQ(form.createModeless(nullptr), nullptr) << "one window per object";
  wchar_t title[64] = {};
  GetWindowTextW(dialog, title, 64);
  EXPECT_EQ(ui::narrow(title), "New File \xE2\x80\x93 \xC3\xBC");

  const struct {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD kind;  // the button style, or 0
  } expected[] = {
      {kLabel, L"Static", L"&Name:", 0},         {kName, L"Edit", L"untitled", 0},
      {kLoop, L"Button", L"Loop", BS_AUTOCHECKBOX}, {kRight, L"Button", L"Right", BS_AUTORADIOBUTTON},
      {kFormat, L"ComboBox", L"AIFF", 0},        {kFiles, L"ListBox", L"", 0},
      {kBar, PROGRESS_CLASSW, L"", 0},           {kApply, L"Button", L"Apply", BS_PUSHBUTTON},
      {IDOK, L"Button", L"OK", BS_DEFPUSHBUTTON},
  };
  for (const auto& e : expected) {
    HWND control = GetDlgItem(dialog, e.id);
    ASSERT_NE(control, nullptr) << e.id;
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    EXPECT_EQ(_wcsicmp(name, e.windowClass), 0) << e.id;
    EXPECT_EQ(itemText(dialog, e.id), e.text) << e.id;
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (e.kind != 0) {
      EXPECT_EQ(static_cast<DWORD>(style & 0x0F), e.kind) << e.id;
    }
  }

  // The helpers, as a derived dialog uses them.
  form.setText(kName, "Gr\xC3\xBC\xC3\x9F" "e.wav");
  EXPECT_EQ(itemText(dialog, kName), L"Gr\u00FC\u00DFe.wav");
  EXPECT_EQ(form.getText(kName), "Gr\xC3\xBC\xC3\x9F" "e.wav");
  const std::pair<const char*, std::optional<int>> numbers[] = {
      {" -7 ", -7}, {"12a", std::nullopt}, {"", std::nullopt},
      {"99999999999", std::nullopt}, {"-2147483648", INT32_MIN}};
  for (const auto& [text, value] : numbers) {
    SetDlgItemTextW(dialog, kName, ui::widen(text).c_str());
    EXPECT_EQ(form.getInt(kName), value) << text;
  }
  SendDlgItemMessageW(dialog, kLoop, BM_CLICK, 0, 0);
  EXPECT_TRUE(form.isChecked(kLoop));
  EXPECT_EQ(form.comboSelection(kFormat), 1);
  EXPECT_EQ(form.comboSelection(999), -1) << "no such control";
}

TEST(Dialog, EndingTheDialogReturnsItsResultAndDestroysItsWindow) {
  FormDialog modal;
  modal.endWith = 77;
  EXPECT_EQ(modal.runModal(nullptr), 77);
  EXPECT_EQ(modal.handle(), nullptr);

  FormDialog modeless;
  HWND dialog = modeless.createModeless(nullptr);
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(modeless.handle(), nullptr);
  EXPECT_EQ(modeless.result(), IDOK);

  {
    FormDialog leftOpen;
    dialog = leftOpen.createModeless(nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  EXPECT_FALSE(IsWindow(dialog)) << "the object's end closes its window";
}

TEST(Dialog, ATemplateWithValuesItsFieldsCannotHoldMakesNoWindow) {
  ui::DialogTemplate wideId("x", 100, 50);
  wideId.button(70000, "OK", 0, 0, 10, 10);
  ui::DialogTemplate farAway("x", 100, 50);
  farAway.text(1, "far", 40000, 0, 10, 10);
  ui::DialogTemplate huge("x", 100000, 50);
  for (const ui::DialogTemplate& layout : {wideId, farAway, huge}) {
    EXPECT_TRUE(layout.build().empty());
    FormDialog form(layout);
    EXPECT_EQ(form.createModeless(nullptr), nullptr);
    EXPECT_EQ(form.runModal(nullptr), -1);
  }
  EXPECT_TRUE(ui::DialogTemplate("x", 100, 50).text(-1, "label", 0, 0, 10, 10).valid())
      << "-1 is the usual id of labels";
}

}  // namespace
