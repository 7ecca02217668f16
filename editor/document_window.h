#pragma once
// One open file: an MDI child holding the sound buffer and its view state,
// shown by an overview strip of the whole sound above the main display of
// the visible range, with a scroll bar and the display buttons.

#include <windows.h>

#include <memory>
#include <string>

#include "core/sound_buffer.h"
#include "core/undo_ring.h"
#include "editor/model/project_file.h"
#include "editor/model/view_state.h"
#include "formats/formats.h"

class Frame;
class WaveDisplay;

class DocumentWindow {
 public:
  static void registerClass(HINSTANCE instance);
  // Creates the window over the frame's MDI client; the buffer is moved in.
  static DocumentWindow* create(Frame& frame, SoundBuffer buffer, const std::string& name, const std::string& path);
  static DocumentWindow* fromHandle(HWND window);
  ~DocumentWindow();

  HWND handle() const { return m_window; }
  SoundBuffer& buffer() { return m_buffer; }
  ViewState& view() { return m_view; }
  int32_t length() const { return m_buffer.totalFrames(); }
  // The full path of a file that has a name, else empty.
  const std::string& path() const { return m_path; }
  const std::string& name() const { return m_view.fileName; }
  bool hasName() const { return m_view.hasName; }
  bool modified() const { return m_view.modified; }
  void setModified(bool modified) { m_view.modified = modified; }
  void setPath(const std::string& path);

  // The file's tags, read when it was opened and written after each save.
  // Their changes are kept apart from the sound's, so that a save after only
  // they changed rewrites the tags and leaves the audio alone.
  FileTags& tags() { return m_tags; }
  bool tagsModified() const { return m_tagsModified; }
  void setTagsModified(bool modified) { m_tagsModified = modified; }

  // The file's bookmarks, in the order they were set; positions in frames.
  std::vector<Bookmark>& bookmarks() { return m_bookmarks; }
  // The bookmarks changed: the displays show them again.
  void bookmarksChanged();

  UndoRing& undoRing() { return m_undo; }
  // The selection and cursor as the edit operations see them.
  Selection selection() const;
  void setSelectionState(const Selection& selection);
  // Everything an undo step keeps, and putting such a state back.
  UndoState captureState() const;
  void restoreState(const UndoState& state);

  // The sound changed (an edit, a load): the displays start over.
  void soundChanged();
  // The view changed (cursor, selection, range, mode): redraw and report.
  void viewChanged();
  void setCursor(int64_t frame);

 private:
  DocumentWindow(Frame& frame, SoundBuffer buffer);
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void layout();
  void onScroll(int request);
  void updateScrollBar();
  void updateButtons();

  Frame& m_frame;
  HWND m_window = nullptr;
  SoundBuffer m_buffer;
  ViewState m_view;
  std::string m_path;
  UndoRing m_undo;
  FileTags m_tags;
  std::vector<Bookmark> m_bookmarks;
  bool m_tagsModified = false;
  std::unique_ptr<WaveDisplay> m_overview;
  std::unique_ptr<WaveDisplay> m_main;
  HWND m_scroll = nullptr;
  HWND m_buttons[4] = {};
};
