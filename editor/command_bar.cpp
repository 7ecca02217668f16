#include "editor/command_bar.h"

#include <string>

#include "editor/command_ids.h"

namespace {

constexpr const char* kSection = "EBar";
constexpr int kHeaderBase = 300;  // header buttons: 300 + topic
constexpr int kRowHeight = 22;

struct Item {
  int id;
  int command;
  const wchar_t* text;
};
struct Topic {
  const wchar_t* title;
  std::vector<Item> items;
};

const std::vector<Topic>& topics() {
  static const std::vector<Topic> all = {
      {L"File", {{134, cmd::NewFile, L"New File"}, {135, cmd::OpenFile, L"Open File"},
                 {136, cmd::SaveFile, L"Save File"}, {137, cmd::SaveFileAs, L"Save File As"},
                 {138, cmd::CloseFile, L"Close File"}}},
      {L"Edit", {{139, cmd::Undo, L"Undo"}, {140, cmd::Redo, L"Redo"}, {141, cmd::Cut, L"Cut"},
                 {142, cmd::Copy, L"Copy"}, {143, cmd::Paste, L"Paste"}, {144, cmd::Delete, L"Delete"},
                 {145, cmd::Trim, L"Trim"}, {146, cmd::SelectAll, L"Select All"}}},
      {L"Effects", {{147, cmd::Amplify, L"Amplify"}, {148, cmd::Normalize, L"Normalize"},
                    {149, cmd::FadeIn, L"Fade In"}, {150, cmd::FadeOut, L"Fade Out"},
                    {151, cmd::SpeedChange, L"Speed Change"}, {152, cmd::PitchChange, L"Pitch Change"},
                    {153, cmd::Reverse, L"Reverse"}}},
      {L"Playback", {{154, cmd::Play, L"Play"}, {155, cmd::Stop, L"Stop"}, {156, cmd::LoopPlay, L"Loop Play"},
                     {157, cmd::GoToStart, L"Go To Start"}, {158, cmd::GoToEnd, L"Go To End"}}},
      {L"View", {{159, cmd::ZoomIn, L"Zoom In"}, {160, cmd::ZoomOut, L"Zoom Out"},
                 {200, cmd::ZoomToSelection, L"Zoom To Selection"}, {201, cmd::ZoomFull, L"Zoom Full"},
                 {202, cmd::VerticalZoom, L"Vertical Zoom"}, {203, cmd::Options, L"Options"}}},
  };
  return all;
}

std::string topicName(size_t topic) { return "topic" + std::to_string(topic); }

}  // namespace

CommandBar::CommandBar(HINSTANCE instance, HWND frame, sys::SettingsStore& store) : m_store(store) {
  m_window = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, L"STATIC", L"",
                             WS_CHILD | WS_CLIPSIBLINGS | SS_GRAYRECT, 0, 0, kWidth, 10, frame, nullptr, instance,
                             nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const auto& all = topics();
  for (size_t t = 0; t < all.size(); ++t) {
    m_open.push_back(m_store.readNumber(kSection, topicName(t).c_str(), 1) != 0);
    HWND header = CreateWindowExW(0, L"BUTTON", all[t].title, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_LEFT, 0, 0,
                                  10, 10, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHeaderBase + t)),
                                  instance, nullptr);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_headers.push_back(header);
    for (const Item& item : all[t].items) {
      HWND button = CreateWindowExW(0, L"BUTTON", item.text, WS_CHILD | BS_FLAT | BS_LEFT, 0, 0, 10, 10, frame,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
      SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      m_items.push_back(button);
    }
  }
}

CommandBar::~CommandBar() {
  for (size_t t = 0; t < m_open.size(); ++t) m_store.write(kSection, topicName(t), m_open[t] ? "1" : "0");
}

int CommandBar::commandOf(int id) {
  for (const Topic& topic : topics())
    for (const Item& item : topic.items)
      if (item.id == id) return item.command;
  return 0;
}

bool CommandBar::toggleTopic(int id) {
  size_t topic = static_cast<size_t>(id - kHeaderBase);
  if (id < kHeaderBase || topic >= m_open.size()) return false;
  m_open[topic] = !m_open[topic];
  layout();
  return true;
}

void CommandBar::place(const RECT& area) {
  bool shown = area.right > area.left;
  MoveWindow(m_window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
  ShowWindow(m_window, shown ? SW_SHOW : SW_HIDE);
  m_open.resize(m_headers.size(), true);
  RECT placed = area;
  // Headers and items are children of the frame so that their clicks reach it.
  int y = placed.top + 2;
  size_t item = 0;
  const auto& all = topics();
  for (size_t t = 0; t < all.size(); ++t) {
    ShowWindow(m_headers[t], shown ? SW_SHOW : SW_HIDE);
    MoveWindow(m_headers[t], placed.left + 2, y, kWidth - 8, kRowHeight, TRUE);
    y += kRowHeight + 1;
    for (size_t i = 0; i < all[t].items.size(); ++i, ++item) {
      bool visible = shown && m_open[t];
      ShowWindow(m_items[item], visible ? SW_SHOW : SW_HIDE);
      if (visible) {
        MoveWindow(m_items[item], placed.left + 12, y, kWidth - 18, kRowHeight - 2, TRUE);
        y += kRowHeight - 1;
      }
    }
    y += 4;
  }
  m_area = placed;
  // Items that moved or went away leave their old pixels behind otherwise.
  RedrawWindow(GetParent(m_window), &placed, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CommandBar::layout() { place(m_area); }
