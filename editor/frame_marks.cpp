// Bookmarks of the files and the frame's regions: setting them, their list
// windows, and what is made of regions (files, exports, discs, one joined
// sound).

#include <windows.h>

#include <algorithm>

#include "core/sample.h"
#include "editor/dialogs/bookmark_list_dialog.h"
#include "editor/dialogs/name_dialog.h"
#include "editor/dialogs/region_export_dialog.h"
#include "editor/dialogs/region_list_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/named_list.h"
#include "editor/model/region_tools.h"
#include "editor/playback_control.h"
#include "editor/save_as_dialog.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "sys/settings_store.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

bool regionNameUsable(HWND owner, const Region& region) {
  if (validFileName(region.name)) return true;
  ui::showMessage(owner,
                  "The name of the region \"" + region.name +
                      "\" contains characters that are not valid for a file name. Please rename it with a new name "
                      "that contains text only and try again.",
                  "File Name Invalid", MB_OK | MB_ICONWARNING);
  return false;
}

}  // namespace

void Frame::setBookmark(DocumentWindow* document) {
  std::string name;
  if (!askName(m_window, "Enter Bookmark Name", name)) return;
  if (name.find_first_not_of(" \t") == std::string::npos) {
    ui::showMessage(m_window, "The name must contain text.", "Name Invalid", MB_OK | MB_ICONWARNING);
    return;
  }
  std::vector<Bookmark>& bookmarks = document->bookmarks();
  if (findNamed(bookmarks, name) >= 0 &&
      ui::showMessage(m_window, "This bookmark name already exist. Do you want to replace it?", "BookMark Exist",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  putNamed(bookmarks, Bookmark{name, document->name(), document->view().cursor, 1, 0});
  bookmarksEdited(document);
}

void Frame::bookmarksEdited(DocumentWindow* document) {
  document->bookmarksChanged();
  noteProjectChanged();
}

void Frame::goToBookmark(DocumentWindow* document, const Bookmark& bookmark) {
  ViewState& view = document->view();
  view.cursor = std::clamp(bookmark.position, 0, document->length());
  setSelection(view, view.cursor, view.cursor, document->length());
  scrollToShowCursor(view, document->length());
  document->viewChanged();
  if (m_settings.playBookMark()) m_playback->play(document, true);
}

void Frame::showBookmarkList() {
  if (DocumentWindow* document = activeDocument()) showBookmarkListDialog(*this, *document);
}

void Frame::addRegion(DocumentWindow* document) {
  Region region;
  if (!makeRegion(document->buffer(), document->selection(), "", document->name(), region)) {
    ui::showMessage(m_window, "Please select the part of the file that the region holds.", "Razavo",
                    MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string name;
  if (!askName(m_window, "Enter Region Name", name)) return;
  if (name.find_first_not_of(" \t") == std::string::npos) {
    ui::showMessage(m_window, "The name must contain text.", "Name Invalid", MB_OK | MB_ICONWARNING);
    return;
  }
  if (findNamed(m_regions, name) >= 0 &&
      ui::showMessage(m_window, "Another region with the same name already exists. Do you want to replace it?",
                      "Razavo", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  region.name = name;
  putNamed(m_regions, std::move(region));
  noteProjectChanged();
  updateCommands();
}

void Frame::showRegionList() {
  showRegionListDialog(*this);
  updateCommands();
}

void Frame::saveRegion(const Region& region) {
  if (!regionNameUsable(m_window, region)) return;
  SaveAsChoice chosen = askSavePath(region.name, L"Save Region", true, region.sound, "SaveRegionDir");
  if (chosen.path.empty()) return;
  SinkRequest request;
  request.path = chosen.path;
  saveWithProgress(region.sound, request);
}

void Frame::copyRegionToNewFile(const Region& region) { openNewWindow(region.sound, true); }

void Frame::exportRegions(const std::vector<int>& indices) {
  RegionExportChoice choice{m_settings.lastFolder("ExportRegionFolder"), m_settings.lastFolder("ExportRegionFormat")};
  std::vector<std::string> extensions = audioSaveExtensions();
  if (!askRegionExport(m_window, extensions, choice)) return;
  m_settings.setLastFolder("ExportRegionFolder", choice.folder);
  m_settings.setLastFolder("ExportRegionFormat", choice.extension);
  for (int index : indices) {
    if (index < 0 || index >= static_cast<int>(m_regions.size())) continue;
    const Region& region = m_regions[index];
    if (!regionNameUsable(m_window, region)) return;
    std::string path = sys::joinPath(choice.folder, region.name + choice.extension);
    if (sys::fileExists(path)) {
      int answer = ui::showMessage(
          m_window, "The region \"" + region.name + "\" already exists in the output folder. Do you want to replace it?",
          "Razavo", MB_YESNOCANCEL | MB_ICONQUESTION);
      if (answer == IDCANCEL) return;
      if (answer == IDNO) continue;
    }
    SinkRequest request;
    request.path = path;
    if (saveWithProgress(region.sound, request) != JobResult::Done) return;
  }
}

void Frame::copyRegionsToCd(const std::vector<int>& indices) {
  // The burner takes files: each region becomes a WAVE file of its name.
  std::string folder = sys::createUniqueFolder(sys::tempFolder(), "regions");
  if (folder.empty()) return;
  std::vector<std::string> paths;
  for (int index : indices) {
    if (index < 0 || index >= static_cast<int>(m_regions.size())) continue;
    const Region& region = m_regions[index];
    if (!regionNameUsable(m_window, region)) return;
    SinkRequest request;
    request.path = sys::joinPath(folder, region.name + ".wav");
    if (saveWithProgress(region.sound, request) != JobResult::Done) return;
    paths.push_back(request.path);
  }
  if (!paths.empty()) handToBurner(paths, true);
}

void Frame::assembleRegionsToNewFile() {
  if (m_regions.empty()) return;
  SoundBuffer joined;
  JobResult result = JobResult::Failed;
  ui::ProgressDialog progress;
  progress.run(m_window, "Assemble Regions", "Assembling regions...", [&](ui::ProgressDialog& dialog) {
    result = assembleRegions(m_regions, *m_converter, &dialog, joined);
    return result;
  });
  if (result == JobResult::Failed)
    ui::showMessage(m_window, "The regions could not be assembled: the result would be too long, or the audio "
                              "could not be converted or written.",
                    "Error", MB_OK | MB_ICONERROR);
  if (result == JobResult::Done) openNewWindow(std::move(joined), true);
}
