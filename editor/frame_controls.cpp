#include "editor/frame_controls.h"

#include <commctrl.h>

#include "editor/command_ids.h"
#include "ui/gdi_objects.h"
#include "editor/pictures/pictures.h"
#include "ui/text.h"

#include <algorithm>

namespace {

constexpr int kPanelHeight = 64;
constexpr int kToolbarHeight = 28;
constexpr int kCommandBarWidth = 150;
constexpr int kVolumeRangeDb = 60;
constexpr int kMeterFloorDb = -60;

void drawMeter(const DRAWITEMSTRUCT& item, const int levels[2]) {
  RECT area = item.rcItem;
  FillRect(item.hDC, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  int rowHeight = (area.bottom - area.top) / 2;
  ui::Brush green(CreateSolidBrush(RGB(102, 255, 102)));
  ui::Brush red(CreateSolidBrush(RGB(255, 64, 64)));
  for (int row = 0; row < 2; ++row) {
    int level = std::clamp(levels[row], kMeterFloorDb, 0);
    int width = (area.right - area.left) * (level - kMeterFloorDb) / -kMeterFloorDb;
    RECT bar{area.left, area.top + row * rowHeight + 1, area.left + width, area.top + (row + 1) * rowHeight - 1};
    FillRect(item.hDC, &bar, levels[row] >= -1 ? red.get() : green.get());
  }
}

// Rewind and Fast Forward report press (16) and release (17) separately, so
// that holding them keeps a scan running.
LRESULT CALLBACK holdButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
    int id = GetDlgCtrlID(button);
    HWND owner = GetParent(GetParent(button));
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, message == WM_LBUTTONDOWN ? 16 : 17),
                 reinterpret_cast<LPARAM>(button));
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

// The panel forwards its buttons' commands to the frame.
LRESULT CALLBACK panelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_COMMAND) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    // Held buttons already posted their press and release.
    if ((id == cmd::RewindButton || id == cmd::ForwardButton) && code == BN_CLICKED) return 0;
    return SendMessageW(GetParent(panel), message, wParam, lParam);
  }
  if (message == WM_HSCROLL || message == WM_NOTIFY) return SendMessageW(GetParent(panel), message, wParam, lParam);
  if (message == WM_DRAWITEM) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID == static_cast<UINT>(cmd::LevelMeterControl))
      drawMeter(*item, reinterpret_cast<const int*>(GetPropW(panel, L"ZedLevels")));
    return TRUE;
  }
  return DefSubclassProc(panel, message, wParam, lParam);
}

}  // namespace

FrameControls::FrameControls(HINSTANCE instance, HWND frame) : m_instance(instance), m_frame(frame) {
  m_panel = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME | WS_CLIPCHILDREN,
                            0, 0, 10, kPanelHeight, frame, nullptr, instance, nullptr);
  SetWindowSubclass(m_panel, panelProc, 1, 0);
  SetPropW(m_panel, L"ZedLevels", m_levels);
  m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0, frame, nullptr, instance, nullptr);

  using pictures::TransportPicture;
  const struct {
    int id;
    const wchar_t* tip;
    TransportPicture picture;
  } buttons[] = {
      {cmd::PlayButton, L"Play", TransportPicture::Play},
      {cmd::PauseButton, L"Pause", TransportPicture::Pause},
      {cmd::StopButton, L"Stop", TransportPicture::Stop},
      {cmd::StartButton, L"Go To Start", TransportPicture::Start},
      {cmd::RewindButton, L"Rewind", TransportPicture::Rewind},
      {cmd::ForwardButton, L"Fast Forward", TransportPicture::Forward},
      {cmd::EndButton, L"Go To End", TransportPicture::End},
      {cmd::RecordButton, L"Record", TransportPicture::Record},
  };
  for (const auto& b : buttons) m_transport.push_back(makeButton(b.id, b.tip, b.picture));
  auto shownPicture = [&](int id) {
    return reinterpret_cast<HBITMAP>(SendMessageW(GetDlgItem(m_panel, id), BM_GETIMAGE, IMAGE_BITMAP, 0));
  };
  m_playPictures[0] = shownPicture(cmd::PlayButton);
  m_stopPictures[0] = shownPicture(cmd::StopButton);
  m_playPictures[1] = m_bitmaps.emplace_back(pictures::drawTransportPicture(TransportPicture::PlayActive)).get();
  m_stopPictures[1] = m_bitmaps.emplace_back(pictures::drawTransportPicture(TransportPicture::StopActive)).get();
  SetWindowSubclass(GetDlgItem(m_panel, cmd::RewindButton), holdButtonProc, 2, 0);
  SetWindowSubclass(GetDlgItem(m_panel, cmd::ForwardButton), holdButtonProc, 2, 0);

  m_timeFont.reset(CreateFontW(-26, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY,
                               FIXED_PITCH, L"Courier New"));
  m_timeDisplay = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"0:00:00.00", WS_CHILD | WS_VISIBLE | SS_CENTER |
                                      SS_CENTERIMAGE, 0, 0, 10, 10, m_panel,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::TimeDisplay)), instance, nullptr);
  SendMessageW(m_timeDisplay, WM_SETFONT, reinterpret_cast<WPARAM>(m_timeFont.get()), TRUE);

  const wchar_t* labels[] = {L"Start", L"End", L"Length", L"File Length", L""};
  const int fieldIds[] = {cmd::SelectionStartField, cmd::SelectionEndField, cmd::SelectionLengthField,
                          cmd::FileLengthField};
  for (int i = 0; i < 4; ++i) {
    m_fieldLabels[i] = CreateWindowExW(0, L"STATIC", labels[i], WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_panel, nullptr,
                                       instance, nullptr);
    m_fields[i] = makeField(fieldIds[i]);
  }
  m_volume = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 0,
                             0, 10, 10, m_panel,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::VolumeControl)), instance, nullptr);
  SendMessageW(m_volume, TBM_SETRANGE, FALSE, MAKELPARAM(0, kVolumeRangeDb));
  SendMessageW(m_volume, TBM_SETPOS, TRUE, kVolumeRangeDb);
  m_meter = CreateWindowExW(WS_EX_STATICEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 10, 10,
                            m_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::LevelMeterControl)), instance,
                            nullptr);
  HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (HWND w : m_fieldLabels)
    if (w) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(gui), FALSE);
  for (HWND w : m_fields)
    if (w) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(gui), FALSE);

  m_mainToolbar = makeToolbar({{cmd::NewFile, L"New File"},
                               {cmd::OpenFile, L"Open File"},
                               {cmd::SaveFile, L"Save File"},
                               {0, nullptr},
                               {cmd::Undo, L"Undo"},
                               {cmd::Redo, L"Redo"},
                               {0, nullptr},
                               {cmd::Cut, L"Cut"},
                               {cmd::Copy, L"Copy"},
                               {cmd::Paste, L"Paste"},
                               {cmd::Delete, L"Delete"},
                               {0, nullptr},
                               {cmd::LoadCdTracks, L"Load CD"},
                               {cmd::BurnAudioCd, L"Burn CD"},
                               {cmd::BookmarkList, L"Bookmark"},
                               {cmd::BatchConverter, L"Batch"},
                               {cmd::Options, L"Options"},
                               {cmd::HelpContents, L"Help"}},
                              true);
  m_effectsToolbar = makeToolbar({{cmd::CopyToNew, L"Copy To New"},
                                  {cmd::Trim, L"Trim"},
                                  {cmd::SplitHere, L"Split File into two at this point"},
                                  {cmd::MixFile, L"Mix File"},
                                  {cmd::InsertSilenceCurrent, L"Insert Silence at Current Position"},
                                  {0, nullptr},
                                  {cmd::Amplify, L"Amplify"},
                                  {cmd::Normalize, L"Normalize"},
                                  {cmd::Equalizer, L"Equalizer"},
                                  {cmd::Echo, L"Echo"},
                                  {cmd::Reverb, L"Reverb"},
                                  {cmd::Reverse, L"Reverse"},
                                  {cmd::FadeIn, L"Fade In"},
                                  {cmd::FadeOut, L"Fade Out"},
                                  {cmd::CrossFade, L"Cross Fade"},
                                  {cmd::NoiseGating, L"Noise Reduction"},
                                  {cmd::PitchChange, L"Pitch Change"},
                                  {cmd::SpeedChange, L"Speed Change"},
                                  {cmd::SpeedAndPitch, L"Speed and Pitch Change"},
                                  {0, nullptr},
                                  {cmd::DirectX, L"DirectX"},
                                  {cmd::Vst, L"VST Plugin"},
                                  {cmd::Fft, L"FFT"},
                                  {cmd::AutoClickRepair, L"Click Pop"},
                                  {cmd::Tfft, L"TFFT"}},
                                 false);

  m_status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, frame,
                             nullptr, instance, nullptr);
}

FrameControls::~FrameControls() {
  RemovePropW(m_panel, L"ZedLevels");
  if (m_effectImages) ImageList_Destroy(m_effectImages);
}

HWND FrameControls::makeButton(int id, const wchar_t* tip, pictures::TransportPicture picture) {
  HWND button = CreateWindowExW(0, L"BUTTON", tip, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP, 0, 0, 10, 10,
                                m_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
  HBITMAP bitmap = m_bitmaps.emplace_back(pictures::drawTransportPicture(picture)).get();
  SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = m_panel;
  info.uId = reinterpret_cast<UINT_PTR>(button);
  info.lpszText = const_cast<wchar_t*>(tip);
  SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  return button;
}

HWND FrameControls::makeField(int id) {
  return CreateWindowExW(WS_EX_STATICEDGE, L"STATIC", L"0:00:00.00", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 10, 10,
                         m_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
}

HWND FrameControls::makeToolbar(const std::vector<std::pair<int, const wchar_t*>>& buttons, bool standardImages) {
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                     CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                 0, 0, 10, kToolbarHeight, m_frame, nullptr, m_instance, nullptr);
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Button texts are shown as tool tips only.
  SendMessageW(toolbar, TB_SETMAXTEXTROWS, 0, 0);
  int standardIndex[] = {STD_FILENEW, STD_FILEOPEN, STD_FILESAVE, STD_UNDO, STD_REDOW, STD_CUT, STD_COPY,
                         STD_PASTE,   STD_DELETE,   STD_PRINT,    STD_PRINTPRE, STD_FIND, STD_REPLACE,
                         STD_PROPERTIES, STD_HELP};
  if (standardImages) {
    SendMessageW(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  } else {
    // Effects get pictures drawn for them.
    m_effectImages = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 32, 8);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_effectImages));
  }
  std::vector<TBBUTTON> items;
  int image = 0;
  for (const auto& [id, text] : buttons) {
    TBBUTTON item{};
    if (id == 0) {
      item.fsStyle = BTNS_SEP;
    } else {
      if (standardImages) {
        item.iBitmap = standardIndex[std::min<size_t>(image, std::size(standardIndex) - 1)];
      } else {
        ui::Bitmap bitmap = pictures::drawEffectPicture(id);
        item.iBitmap = bitmap ? ImageList_AddMasked(m_effectImages, bitmap.get(), GetSysColor(COLOR_BTNFACE))
                              : I_IMAGENONE;
      }
      ++image;
      item.idCommand = id;
      item.fsState = TBSTATE_ENABLED;
      item.fsStyle = BTNS_BUTTON;
      item.iString = reinterpret_cast<INT_PTR>(text);
    }
    items.push_back(item);
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data()));
  return toolbar;
}

RECT FrameControls::layout(int width, int height, bool mainToolbar, bool effectsToolbar, bool commandBar,
                           bool commandBarLeft) {
  int top = 0;
  auto place = [&](HWND toolbar, bool shown) {
    ShowWindow(toolbar, shown ? SW_SHOW : SW_HIDE);
    if (!shown) return;
    MoveWindow(toolbar, 0, top, width, kToolbarHeight, TRUE);
    top += kToolbarHeight;
  };
  place(m_mainToolbar, mainToolbar);
  place(m_effectsToolbar, effectsToolbar);

  MoveWindow(m_panel, 0, top, width, kPanelHeight, TRUE);
  int x = 8;
  for (HWND button : m_transport) {
    MoveWindow(button, x, 8, 30, 24, TRUE);
    x += 32;
  }
  MoveWindow(m_volume, 8, 36, 120, 22, TRUE);
  MoveWindow(m_meter, 136, 38, 120, 16, TRUE);
  x += 8;
  MoveWindow(m_timeDisplay, x, 8, 170, 48, TRUE);
  x += 180;
  for (int i = 0; i < 4; ++i) {
    MoveWindow(m_fieldLabels[i], x, 10, 80, 16, TRUE);
    MoveWindow(m_fields[i], x, 30, 80, 20, TRUE);
    x += 88;
  }
  top += kPanelHeight;

  SendMessageW(m_status, WM_SIZE, 0, 0);
  RECT statusRect{};
  GetWindowRect(m_status, &statusRect);
  int statusHeight = statusRect.bottom - statusRect.top;
  int parts[] = {width - 360, width - 180, -1};
  SendMessageW(m_status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));

  RECT documents{0, top, width, std::max(top, height - statusHeight)};
  (void)commandBar;
  (void)commandBarLeft;
  return documents;
}

void FrameControls::setTimes(const std::string& cursor, const std::string& selectionStart,
                             const std::string& selectionEnd, const std::string& selectionLength,
                             const std::string& fileLength) {
  SetWindowTextW(m_timeDisplay, ui::widen(cursor).c_str());
  const std::string* texts[] = {&selectionStart, &selectionEnd, &selectionLength, &fileLength};
  for (int i = 0; i < 4; ++i) SetWindowTextW(m_fields[i], ui::widen(*texts[i]).c_str());
}

void FrameControls::setStatus(int part, const std::string& text) {
  SendMessageW(m_status, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(ui::widen(text).c_str()));
}

void FrameControls::enableButton(int command, bool enabled) {
  for (HWND toolbar : {m_mainToolbar, m_effectsToolbar})
    SendMessageW(toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void FrameControls::showPlaying(bool playing) {
  SendMessageW(GetDlgItem(m_panel, cmd::PlayButton), BM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(m_playPictures[playing ? 1 : 0]));
  SendMessageW(GetDlgItem(m_panel, cmd::StopButton), BM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(m_stopPictures[playing ? 0 : 1]));
}

void FrameControls::setVolume(int decibels) {
  SendMessageW(m_volume, TBM_SETPOS, TRUE, std::clamp(decibels + kVolumeRangeDb, 0, kVolumeRangeDb));
}

int FrameControls::volume() const {
  return static_cast<int>(SendMessageW(m_volume, TBM_GETPOS, 0, 0)) - kVolumeRangeDb;
}

void FrameControls::setLevels(int left, int right) {
  m_levels[0] = left;
  m_levels[1] = right;
  InvalidateRect(m_meter, nullptr, FALSE);
}
