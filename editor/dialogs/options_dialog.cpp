#include "editor/dialogs/options_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "editor/dialogs/options_pages.h"
#include "editor/frame.h"
#include "ui/text.h"

namespace {
constexpr int kTabs = 100;
constexpr int kPageLeft = 10, kPageTop = 28;
}

OptionsDialog::OptionsDialog(Frame& frame)
    : ui::Dialog(ui::DialogTemplate("Razavo Options", 300, 250, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                     .control(WC_TABCONTROLW, kTabs, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 4, 4, 292, 222)
                     .defaultButton(IDOK, "OK", 186, 230, 50, 14)
                     .button(IDCANCEL, "Cancel", 242, 230, 50, 14)),
      m_frame(frame) {}

OptionsDialog::~OptionsDialog() = default;

bool OptionsDialog::onInit() {
  const wchar_t* names[] = {L"General", L"Audio Processing", L"Keys"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(names[i]);
    sendItem(kTabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
  }
  m_pages[0] = makeGeneralPage(m_frame);
  m_pages[1] = makeAudioPage(m_frame);
  m_pages[2] = makeKeysPage(m_frame);
  RECT area{kPageLeft, kPageTop, 0, 0};
  MapDialogRect(handle(), &area);
  for (auto& page : m_pages) {
    HWND window = page->create(handle());
    SetWindowPos(window, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  showPage(0);
  return true;
}

void OptionsDialog::showPage(int index) {
  for (int i = 0; i < 3; ++i) ShowWindow(m_pages[i]->handle(), i == index ? SW_SHOW : SW_HIDE);
}

INT_PTR OptionsDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == kTabs && header->code == TCN_SELCHANGE) {
      showPage(static_cast<int>(sendItem(kTabs, TCM_GETCURSEL)));
      return TRUE;
    }
  }
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

void OptionsDialog::onCommand(int id, int code) {
  if (id == IDOK) {
    for (int i = 0; i < 3; ++i) {
      if (!m_pages[i]->apply()) {
        sendItem(kTabs, TCM_SETCURSEL, i);
        showPage(i);
        return;
      }
    }
  }
  ui::Dialog::onCommand(id, code);
}
