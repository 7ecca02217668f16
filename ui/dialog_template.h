#pragma once
// Dialog templates built in code, so that dialogs need no resource script.
// Positions and sizes are in dialog units; the font is "MS Shell Dlg" 8
// unless set otherwise.

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

class DialogTemplate {
 public:
  static constexpr DWORD kDefaultStyle =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;

  DialogTemplate(const std::string& title, int width, int height, DWORD style = kDefaultStyle);

  // A window class of our own (registered by the caller from the dialog class
  // with DLGWINDOWEXTRA) instead of the system's dialog class.
  DialogTemplate& windowClass(const std::wstring& className);
  DialogTemplate& font(const std::string& face, int points);

  // Every control is a visible child; extraStyle adds to the usual style of
  // its kind. id -1 is the customary id of labels nobody addresses.
  DialogTemplate& text(int id, const std::string& text, int x, int y, int width, int height,
                       DWORD extraStyle = 0);
  DialogTemplate& edit(int id, const std::string& text, int x, int y, int width, int height,
                       DWORD extraStyle = 0);
  DialogTemplate& button(int id, const std::string& text, int x, int y, int width, int height,
                         DWORD extraStyle = 0);
  DialogTemplate& defaultButton(int id, const std::string& text, int x, int y, int width,
                                int height, DWORD extraStyle = 0);
  DialogTemplate& checkBox(int id, const std::string& text, int x, int y, int width, int height,
                           DWORD extraStyle = 0);
  // The first radio button of a group starts a new tab stop and group.
  DialogTemplate& radio(int id, const std::string& text, int x, int y, int width, int height,
                        bool firstInGroup, DWORD extraStyle = 0);
  DialogTemplate& groupBox(int id, const std::string& text, int x, int y, int width, int height,
                           DWORD extraStyle = 0);
  // height includes the dropped-down list.
  DialogTemplate& comboBox(int id, int x, int y, int width, int height, DWORD extraStyle = 0);
  DialogTemplate& listBox(int id, int x, int y, int width, int height, DWORD extraStyle = 0);
  DialogTemplate& progressBar(int id, int x, int y, int width, int height, DWORD extraStyle = 0);
  // Any control by class name, with its whole style.
  DialogTemplate& control(const std::wstring& className, int id, const std::string& text,
                          DWORD style, DWORD exStyle, int x, int y, int width, int height);

  size_t itemCount() const { return m_items.size(); }
  // False once an id, a position or the number of controls did not fit the
  // template's 16-bit fields; such a template builds to nothing.
  bool valid() const { return m_valid; }
  // The DLGTEMPLATE image, DWORD-aligned at its start; empty when not valid.
  std::vector<WORD> build() const;

 private:
  struct Item {
    DWORD style;
    DWORD exStyle;
    short x, y, width, height;
    WORD id;
    WORD classAtom;          // a predefined class, or 0 for className
    std::wstring className;
    std::wstring text;
  };
  DialogTemplate& add(WORD classAtom, const std::wstring& className, int id,
                      const std::string& text, DWORD style, DWORD exStyle, int x, int y, int width,
                      int height);
  bool fitsShort(int value);

  std::wstring m_title;
  std::wstring m_className;
  std::wstring m_fontFace = L"MS Shell Dlg";
  WORD m_fontPoints = 8;
  DWORD m_style;
  short m_width = 0;
  short m_height = 0;
  std::vector<Item> m_items;
  bool m_valid = true;
};

}  // namespace ui
