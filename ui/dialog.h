#pragma once
// Binds a dialog window to an object: the object is stored in the window's
// DWLP_USER slot at WM_INITDIALOG and receives every later message through
// handleMessage. The template comes from the resources (by id or name) or is
// built in code with DialogTemplate.

#include <windows.h>
#include <prsht.h>

#include <optional>
#include <string>

#include "ui/dialog_template.h"

namespace ui {

class Dialog {
 public:
  virtual ~Dialog();  // destroys a modeless window that is still open
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows the dialog modally; returns what endDialog was given, or -1 when
  // the dialog could not be created or is already open.
  INT_PTR runModal(HWND owner);
  // Creates the dialog without a loop of its own; null when that fails or it
  // is already open. The caller shows it and routes its messages through
  // IsDialogMessage.
  HWND createModeless(HWND owner);
  // The dialog as a page of a property sheet: the sheet creates the window
  // (from this object's template, which must live while the sheet shows)
  // and the page binds to the object like any dialog.
  PROPSHEETPAGEW propertyPage();
  HWND handle() const { return m_window; }
  // The value given to endDialog (also for a modeless dialog).
  INT_PTR result() const { return m_result; }

 protected:
  explicit Dialog(int resourceId, HINSTANCE instance = nullptr);
  explicit Dialog(const wchar_t* templateName, HINSTANCE instance = nullptr);
  explicit Dialog(DialogTemplate dialogTemplate, HINSTANCE instance = nullptr);

  // The default handles WM_INITDIALOG (onInit) and WM_COMMAND (onCommand);
  // returns what a dialog procedure returns.
  virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // True lets the system give the focus to the first control.
  virtual bool onInit();
  // The default ends the dialog with IDOK or IDCANCEL.
  virtual void onCommand(int id, int code);
  // Ends a modal dialog, destroys a modeless one.
  void endDialog(INT_PTR result);

  HWND item(int id) const;
  LRESULT sendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void setText(int id, const std::string& text);
  std::string getText(int id) const;
  void setCheck(int id, bool checked);
  bool isChecked(int id) const;
  void setInt(int id, int value);
  // Empty when the control's text is not a whole number.
  std::optional<int> getInt(int id) const;
  void enable(int id, bool enabled);
  // Combo box and list box entries.
  int addComboItem(int id, const std::string& text);
  void setComboSelection(int id, int index);
  int comboSelection(int id) const;  // -1 for none
  int addListItem(int id, const std::string& text);
  void setListSelection(int id, int index);
  int listSelection(int id) const;  // -1 for none

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HINSTANCE instance() const;

  HINSTANCE m_instance;
  const wchar_t* m_templateName = nullptr;
  std::optional<DialogTemplate> m_template;
  std::vector<WORD> m_pageImage;
  HWND m_window = nullptr;
  bool m_modal = false;
  INT_PTR m_result = 0;
};

}  // namespace ui
