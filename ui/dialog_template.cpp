#include "ui/dialog_template.h"

#include <commctrl.h>

#include <climits>

#include "ui/text.h"

namespace ui {

namespace {

// Ordinals of the predefined control classes in a dialog item.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;
constexpr WORD kComboBoxAtom = 0x0085;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

void putWord(std::vector<WORD>& out, WORD value) { out.push_back(value); }

void putDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

void putText(std::vector<WORD>& out, const std::wstring& text) {
  for (wchar_t c : text) out.push_back(static_cast<WORD>(c));
  out.push_back(0);
}

// Items start on a DWORD boundary of the image.
void alignToDword(std::vector<WORD>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

}  // namespace

DialogTemplate::DialogTemplate(const std::string& title, int width, int height, DWORD style)
    : m_title(widen(title)), m_style(style) {
  if (fitsShort(width) && fitsShort(height)) {
    m_width = static_cast<short>(width);
    m_height = static_cast<short>(height);
  }
}

bool DialogTemplate::fitsShort(int value) {
  if (value < SHRT_MIN || value > SHRT_MAX) m_valid = false;
  return m_valid;
}

DialogTemplate& DialogTemplate::windowClass(const std::wstring& className) {
  m_className = className;
  return *this;
}

DialogTemplate& DialogTemplate::font(const std::string& face, int points) {
  m_fontFace = widen(face);
  if (points <= 0 || points > SHRT_MAX) {
    m_valid = false;
  } else {
    m_fontPoints = static_cast<WORD>(points);
  }
  return *this;
}

DialogTemplate& DialogTemplate::add(WORD classAtom, const std::wstring& className, int id,
                                    const std::string& text, DWORD style, DWORD exStyle, int x,
                                    int y, int width, int height) {
  bool fits = fitsShort(x) && fitsShort(y) && fitsShort(width) && fitsShort(height);
  // The item count of the template is a WORD, and so is each id.
  if (id < -1 || id > 0xFFFF || m_items.size() >= 0xFFFF) m_valid = false;
  if (!fits || !m_valid) return *this;
  m_items.push_back(Item{style, exStyle, static_cast<short>(x), static_cast<short>(y),
                         static_cast<short>(width), static_cast<short>(height),
                         static_cast<WORD>(id), classAtom, className, widen(text)});
  return *this;
}

DialogTemplate& DialogTemplate::text(int id, const std::string& text, int x, int y, int width,
                                     int height, DWORD extraStyle) {
  return add(kStaticAtom, L"", id, text, kChild | SS_LEFT | extraStyle, 0, x, y, width, height);
}

DialogTemplate& DialogTemplate::edit(int id, const std::string& text, int x, int y, int width,
                                     int height, DWORD extraStyle) {
  return add(kEditAtom, L"", id, text,
             kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | extraStyle, 0, x, y,
             width, height);
}

DialogTemplate& DialogTemplate::button(int id, const std::string& text, int x, int y, int width,
                                       int height, DWORD extraStyle) {
  return add(kButtonAtom, L"", id, text, kChild | WS_TABSTOP | BS_PUSHBUTTON | extraStyle, 0, x,
             y, width, height);
}

DialogTemplate& DialogTemplate::defaultButton(int id, const std::string& text, int x, int y,
                                              int width, int height, DWORD extraStyle) {
  return add(kButtonAtom, L"", id, text, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON | extraStyle, 0,
             x, y, width, height);
}

DialogTemplate& DialogTemplate::checkBox(int id, const std::string& text, int x, int y,
                                         int width, int height, DWORD extraStyle) {
  return add(kButtonAtom, L"", id, text, kChild | WS_TABSTOP | BS_AUTOCHECKBOX | extraStyle, 0,
             x, y, width, height);
}

DialogTemplate& DialogTemplate::radio(int id, const std::string& text, int x, int y, int width,
                                      int height, bool firstInGroup, DWORD extraStyle) {
  DWORD group = firstInGroup ? WS_GROUP | WS_TABSTOP : 0;
  return add(kButtonAtom, L"", id, text, kChild | group | BS_AUTORADIOBUTTON | extraStyle, 0, x,
             y, width, height);
}

DialogTemplate& DialogTemplate::groupBox(int id, const std::string& text, int x, int y,
                                         int width, int height, DWORD extraStyle) {
  return add(kButtonAtom, L"", id, text, kChild | BS_GROUPBOX | extraStyle, 0, x, y, width,
             height);
}

DialogTemplate& DialogTemplate::comboBox(int id, int x, int y, int width, int height,
                                         DWORD extraStyle) {
  return add(kComboBoxAtom, L"", id, "",
             kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | extraStyle, 0, x, y, width,
             height);
}

DialogTemplate& DialogTemplate::listBox(int id, int x, int y, int width, int height,
                                        DWORD extraStyle) {
  return add(kListBoxAtom, L"", id, "",
             kChild | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | extraStyle, 0, x, y,
             width, height);
}

DialogTemplate& DialogTemplate::progressBar(int id, int x, int y, int width, int height,
                                            DWORD extraStyle) {
  return add(0, PROGRESS_CLASSW, id, "", kChild | WS_BORDER | extraStyle, 0, x, y, width, height);
}

DialogTemplate& DialogTemplate::control(const std::wstring& className, int id,
                                        const std::string& text, DWORD style, DWORD exStyle,
                                        int x, int y, int width, int height) {
  if (className.empty()) m_valid = false;
  return add(0, className, id, text, style, exStyle, x, y, width, height);
}

std::vector<WORD> DialogTemplate::build() const {
  std::vector<WORD> image;
  if (!m_valid) return image;
  DWORD style = m_style;
  if (!m_fontFace.empty()) style |= DS_SETFONT;

  // DLGTEMPLATE
  putDword(image, style);
  putDword(image, 0);
  putWord(image, static_cast<WORD>(m_items.size()));
  putWord(image, 0);
  putWord(image, 0);
  putWord(image, static_cast<WORD>(m_width));
  putWord(image, static_cast<WORD>(m_height));
  putWord(image, 0);  // no menu
  if (m_className.empty()) {
    putWord(image, 0);
  } else {
    putText(image, m_className);
  }
  putText(image, m_title);
  if (style & DS_SETFONT) {
    putWord(image, m_fontPoints);
    putText(image, m_fontFace);
  }

  for (const Item& item : m_items) {
    alignToDword(image);
    // DLGITEMTEMPLATE
    putDword(image, item.style);
    putDword(image, item.exStyle);
    putWord(image, static_cast<WORD>(item.x));
    putWord(image, static_cast<WORD>(item.y));
    putWord(image, static_cast<WORD>(item.width));
    putWord(image, static_cast<WORD>(item.height));
    putWord(image, item.id);
    if (item.classAtom != 0) {
      putWord(image, 0xFFFF);
      putWord(image, item.classAtom);
    } else {
      putText(image, item.className);
    }
    putText(image, item.text);
    putWord(image, 0);  // no creation data
  }
  return image;
}

}  // namespace ui
