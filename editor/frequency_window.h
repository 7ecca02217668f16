#pragma once
// The "Frequency Analysis" window: the spectrum at the cursor, one curve per
// channel, with zoom buttons, scroll bars and the level under the mouse.

#include <string>

#include "editor/analysis_window.h"
#include "editor/model/analysis_view.h"
#include "effects/frequency_analysis.h"

class FrequencyWindow final : public AnalysisWindow {
 public:
  static constexpr const wchar_t* kClassName = L"LFrequencyWindow";
  static constexpr int kZoomDefault = 201, kZoomInHorizontal = 202, kZoomOutHorizontal = 203;
  static constexpr int kZoomInVertical = 204, kZoomOutVertical = 205;
  static constexpr int kHorizontalScroll = 206, kVerticalScroll = 207;

  // Shows record in the open window, or in a new one the first time.
  static void show(Frame& frame, SpectrumRecord record);

 private:
  FrequencyWindow(Frame& frame, SpectrumRecord record);
  void onCreate() override;
  void layout() override;
  void paintGraph(HDC dc, const RECT& client) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  RECT plotArea() const;
  void viewChanged();
  void showReadoutAt(int x, int y);

  SpectrumRecord m_record;
  SpectrumView m_view;
  HWND m_horizontal = nullptr;
  HWND m_vertical = nullptr;
};
