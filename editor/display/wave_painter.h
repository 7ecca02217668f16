#pragma once
// Draws a waveform display from a copy of its peak cache: the columns on
// their backgrounds, the cursor, the bookmarks and the sunken border.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "editor/display/peak_worker.h"
#include "ui/gdi_objects.h"

namespace display {

// The ranges and marks drawn over the peaks, in frames. An empty range
// (start >= end) marks nothing; a negative cursor is not drawn.
struct WaveMarks {
  int64_t cursor = 0;
  int64_t selectionStart = 0, selectionEnd = 0;
  int64_t highlightStart = 0, highlightEnd = 0;
  std::vector<int64_t> bookmarkFrames;
};

// The first frame column x of a mapping shows, and the column showing a
// frame (which may lie outside the drawing area).
int64_t columnFirstFrame(int64_t firstFrame, double framesPerPixel, int x);
int columnOfFrame(int64_t firstFrame, double framesPerPixel, int64_t frame);

class WavePainter {
 public:
  static constexpr int kBorder = 1;  // the sunken edge around the drawing area

  WavePainter();
  // Paints the client rectangle; only the columns from xFrom to xTo (client
  // pixels) are redrawn, the marks and the border always.
  void paint(HDC dc, const RECT& client, int xFrom, int xTo, bool enabled, const PeakSnapshot& peaks,
             const WaveMarks& marks) const;

 private:
  void paintColumns(HDC dc, const RECT& area, int xFrom, int xTo, const PeakSnapshot& peaks,
                    const WaveMarks& marks) const;
  void paintCursor(HDC dc, const RECT& area, int x) const;
  void paintBookmark(HDC dc, const RECT& area, int x) const;
  void paintBorder(HDC dc, const RECT& client) const;

  // Per kind of column: the wave's colour and the background's.
  struct ColumnColours {
    ui::Brush wave;
    ui::Brush background;
  };
  ColumnColours m_normal, m_selected, m_highlighted, m_selectedHighlighted;
  ui::Brush m_cursorBrush, m_bookmarkBrush;
  ui::Pen m_cursorPen, m_bookmarkPen, m_bookmarkMarkerPen, m_whitePen, m_blackPen, m_separatorPen;
};

}  // namespace display
