#pragma once
// The "Temporal Frequency Analysis" window: the spectrogram of a selection,
// time across and frequency up, with brightness, grid lines, the 0 - 4,000 Hz
// zoom, the cell under the mouse, and a way back to the analysed region.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "editor/analysis_window.h"
#include "effects/spectrogram.h"

class TfftWindow final : public AnalysisWindow {
 public:
  static constexpr const wchar_t* kClassName = L"LTFFTWindow";
  static constexpr int kBrightness = 301, kGrid = 302, kZoomIn = 303, kZoomOut = 304, kReselect = 305;
  static constexpr int kBandScroll = 306;

  // Shows spectrogram, computed from the sound of document, in the open
  // window or a new one.
  static void show(Frame& frame, HWND document, Spectrogram spectrogram);
  // Closes the open window, if any.
  static void close(Frame& frame);

 private:
  TfftWindow(Frame& frame, HWND document, Spectrogram spectrogram);
  void onCreate() override;
  void layout() override;
  void paintGraph(HDC dc, const RECT& client) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  RECT plotArea() const;
  void settingsChanged();
  void renderImage(int width, int height);
  void drawGrid(HDC dc, const RECT& plot);
  void showReadoutAt(int x, int y);
  void reselect();

  HWND m_document;
  Spectrogram m_data;
  int m_brightness;
  bool m_grid;
  bool m_fullRange;
  int m_bandStartHz;
  HWND m_brightnessBar = nullptr;
  HWND m_gridButton = nullptr;
  HWND m_bandScroll = nullptr;
  // The picture of the cells at the plot's size, redone when the size, the
  // band, the brightness or the data change.
  std::vector<uint32_t> m_image;
  int m_imageWidth = 0, m_imageHeight = 0;
  bool m_imageValid = false;
};
