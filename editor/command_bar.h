#pragma once
// The command bar: a panel beside the file windows with collapsible topics,
// each a short list of the most used commands. Its items carry the IDs
// 134 … 160 and 200 … 203; the frame maps them to the commands they stand for.
// The open or closed state of each topic is kept as "topic%d" in "EBar".

#include <windows.h>

#include <vector>

#include "sys/settings_store.h"

class CommandBar {
 public:
  CommandBar(HINSTANCE instance, HWND frame, sys::SettingsStore& store);
  ~CommandBar();  // stores the topics' states

  HWND window() const { return m_window; }
  // Places the bar in area (its whole height) and lays out its items.
  void place(const RECT& area);
  // The command an item stands for, or 0 when id is not one of the bar's.
  static int commandOf(int id);
  // A click on a topic's header opens or closes it.
  bool toggleTopic(int id);

  static constexpr int kWidth = 160;

 private:
  void layout();

  HWND m_window = nullptr;
  sys::SettingsStore& m_store;
  std::vector<HWND> m_headers;
  std::vector<HWND> m_items;
  std::vector<bool> m_open;
  RECT m_area{};
};
