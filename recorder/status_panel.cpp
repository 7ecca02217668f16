#include "recorder/status_panel.h"

#include "ui/gdi_objects.h"
#include "ui/text.h"

namespace recorder {
namespace {

void drawLine(HDC dc, int x, int y, const std::string& text, COLORREF colour) {
  SetTextColor(dc, colour);
  std::wstring wide = ui::widen(text);
  TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

ui::Font makeFont(int height, int weight) {
  return ui::Font(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

}  // namespace

void StatusPanel::setState(const std::string& text, bool recording) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_state = text;
    m_recording = recording;
  }
  changed();
}

void StatusPanel::setElapsed(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_elapsed == text) return;
    m_elapsed = text;
  }
  changed();
}

void StatusPanel::setFileName(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_fileName = text;
  }
  changed();
}

void StatusPanel::setFileInfo(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_fileInfo = text;
  }
  changed();
}

void StatusPanel::setSpace(const std::string& text, bool low) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_space = text;
    m_lowDisk = low;
  }
  changed();
}

std::string StatusPanel::state() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_state;
}

namespace {
// Rows of the panel: the state, then the lines of text.
constexpr int kFirstLineTop = 4 + 22;
}  // namespace

bool StatusPanel::onFileInfoLine(POINT point) {
  return point.y >= kFirstLineTop + kLineSpacing && point.y < kFirstLineTop + 2 * kLineSpacing;
}

void StatusPanel::changed() {
  if (m_control) InvalidateRect(m_control, nullptr, FALSE);
}

void StatusPanel::draw(HDC target, const RECT& area) const {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  ui::MemoryDc dc;
  dc.reset(CreateCompatibleDC(target));
  ui::Bitmap bitmap(CreateCompatibleBitmap(target, width, height));
  if (!dc.get() || !bitmap) return;
  ui::SelectedObject selectedBitmap(dc.get(), bitmap.get());
  RECT box{0, 0, width, height};
  ui::Brush background(CreateSolidBrush(RGB(250, 250, 246)));
  FillRect(dc.get(), &box, background.get());
  ui::Brush edge(CreateSolidBrush(RGB(200, 200, 196)));
  FrameRect(dc.get(), &box, edge.get());
  SetBkMode(dc.get(), TRANSPARENT);

  ui::Font big = makeFont(16, FW_BOLD);
  ui::Font small = makeFont(12, FW_NORMAL);
  std::lock_guard<std::mutex> lock(m_lock);
  const COLORREF stateColour = m_recording ? kWarningColour : kNormalColour;
  {
    ui::SelectedObject font(dc.get(), big.get());
    drawLine(dc.get(), 8, 4, m_state, stateColour);
    SetTextAlign(dc.get(), TA_RIGHT | TA_TOP);
    drawLine(dc.get(), width - 8, 4, m_elapsed, stateColour);
    SetTextAlign(dc.get(), TA_LEFT | TA_TOP);
  }
  {
    ui::SelectedObject font(dc.get(), small.get());
    int y = kFirstLineTop;
    drawLine(dc.get(), 8, y, "File Name: " + m_fileName, kNormalColour);
    y += kLineSpacing;
    drawLine(dc.get(), 8, y, "File Info: " + m_fileInfo, kNormalColour);
    y += kLineSpacing;
    drawLine(dc.get(), 8, y, "Space Remaining: " + m_space, m_lowDisk ? kWarningColour : kNormalColour);
    if (m_lowDisk) {
      ui::Font bold = makeFont(12, FW_BOLD);
      ui::SelectedObject boldFont(dc.get(), bold.get());
      SetTextAlign(dc.get(), TA_LEFT | TA_BOTTOM);
      drawLine(dc.get(), 8, height - 3, "LOW DISK SPACE", kWarningColour);
      SetTextAlign(dc.get(), TA_LEFT | TA_TOP);
    }
  }
  BitBlt(target, area.left, area.top, width, height, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace recorder
