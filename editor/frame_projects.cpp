// Projects: the open files with their view state and bookmarks, and the
// regions, saved to and loaded from one ".vrp" file.

#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/document_names.h"
#include "editor/model/named_list.h"
#include "editor/playback_control.h"
#include "sys/folders.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

const wchar_t kProjectFilter[] = L"Razavo Project (.vrp)\0*.vrp\0";
// The open dialog's folder lives in this section, the save dialog's in "Settings".
constexpr const char* kOpenProjectSection = "StoreValues";
constexpr const char* kCannotLoad =
    "Razavo cannot load the project. The project may be corrupted or damaged. Please try again.";

// The project's stages on the dialog's upper line, its bytes on the bar.
class DialogProjectProgress final : public ProjectProgress {
 public:
  explicit DialogProjectProgress(ui::ProgressDialog& dialog) : m_dialog(dialog) {}
  bool progress(int64_t done, int64_t total) override { return m_dialog.progress(done, total); }
  void stage(const std::string& line) override { m_dialog.setLine(1, line); }

 private:
  ui::ProgressDialog& m_dialog;
};

// Collects what a read hands on; the windows are made once the dialog is gone.
struct CollectedProject final : ProjectLoadTarget {
  std::vector<ProjectDocument> documents;
  std::vector<Region> regions;
  void documentLoaded(ProjectDocument document) override { documents.push_back(std::move(document)); }
  void bookmarkLoaded(Bookmark bookmark) override {
    // Older projects keep bookmarks apart; each goes to the file it names.
    for (ProjectDocument& document : documents)
      if (sameItemName(sys::fileNameOf(document.path), bookmark.fileName)) {
        document.bookmarks.push_back(std::move(bookmark));
        return;
      }
  }
  void regionLoaded(Region region) override { regions.push_back(std::move(region)); }
};

bool hasFolder(const std::string& path) { return path.find_first_of("\\/") != std::string::npos; }

std::string withoutExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t separator = path.find_last_of("\\/");
  return dot != std::string::npos && (separator == std::string::npos || dot > separator) ? path.substr(0, dot) : path;
}

}  // namespace

void Frame::updateTitle() {
  std::string title = "Razavo";
  if (projectOpen()) title += " - " + withoutExtension(m_projectPath);
  SetWindowTextW(m_window, ui::widen(title).c_str());
}

bool Frame::projectHasChanges() const {
  // Regions live nowhere but in a project: made without one, they are asked about too.
  return m_projectChanged && (projectOpen() || !m_regions.empty());
}

bool Frame::settleProjectChanges() {
  if (!projectHasChanges()) return true;
  int answer = ui::showMessage(m_window, "Save changes to current project?", "Razavo", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  if (answer == IDYES) return saveProject();
  return true;
}

void Frame::openProjectDialog() {
  wchar_t path[MAX_PATH] = {};
  std::wstring folder = ui::widen(m_store->read(kOpenProjectSection, "OpenProjectDir", ""));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = m_window;
  dialog.lpstrFilter = kProjectFilter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"vrp";
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return;
  m_store->write(kOpenProjectSection, "OpenProjectDir", sys::folderOf(ui::narrow(path)));
  openProject(ui::narrow(path));
}

bool Frame::openProject(const std::string& requested) {
  if (!settleProjectChanges()) return false;
  wchar_t full[MAX_PATH];
  DWORD length = GetFullPathNameW(ui::widen(requested).c_str(), MAX_PATH, full, nullptr);
  std::string path = length > 0 && length < MAX_PATH ? ui::narrow(full) : requested;
  std::unique_ptr<ByteSource> bytes = openFileBytes(path);
  if (!bytes) {
    ui::showMessage(m_window, "Cannot open the file \"" + path + "\" for reading.", "Error", MB_OK | MB_ICONERROR);
    return false;
  }
  m_playback->stop();
  // Files and regions already open join the project, which then differs from its file.
  bool joined = !m_documents.empty() || !m_regions.empty();
  CollectedProject loaded;
  ProjectReadStatus status = ProjectReadStatus::Damaged;
  ui::ProgressDialog progress;
  progress.run(m_window, "Loading Project", "Loading files...", [&](ui::ProgressDialog& dialog) {
    DialogProjectProgress stages(dialog);
    status = readProject(*bytes, loaded, &stages);
    return status == ProjectReadStatus::Done ? JobResult::Done : JobResult::Failed;
  });
  bytes.reset();
  // What was read before a failure stays open: it may be all there is of it.
  for (ProjectDocument& document : loaded.documents) projectDocumentLoaded(std::move(document));
  for (Region& region : loaded.regions) {
    // A region of the same name already in the list is kept: the new one takes a free name.
    region.name = unusedName(m_regions, region.name);
    m_regions.push_back(std::move(region));
  }
  if (status == ProjectReadStatus::WrongVersion)
    ui::showMessage(m_window,
                    "This file does not have the same version with the current Razavo version or it is corrupted.",
                    "File Error", MB_OK | MB_ICONERROR);
  else if (status == ProjectReadStatus::Damaged || status == ProjectReadStatus::Failed)
    ui::showMessage(m_window, kCannotLoad, "Razavo", MB_OK | MB_ICONERROR);
  if (status != ProjectReadStatus::Done) {
    // A project that did not load whole is not saved over by "Save Project".
    if (projectOpen()) m_projectChanged = true;
    return false;
  }
  m_projectPath = path;
  m_projectChanged = joined;
  updateTitle();
  updateCommands();
  return true;
}

void Frame::projectDocumentLoaded(ProjectDocument loaded) {
  std::vector<std::string> names;
  for (DocumentWindow* open : m_documents) names.push_back(open->name());
  std::string path, name;
  if (hasFolder(loaded.path)) {
    path = loaded.path;
    name = sys::fileNameOf(path);
  } else {
    // A sound that was never saved keeps its name unless a window uses it.
    name = loaded.path;
    if (name.empty() || std::any_of(names.begin(), names.end(), [&](const std::string& used) { return sameItemName(used, name); }))
      name = untitledName(nextUntitledNumber(names));
  }
  DocumentWindow* document = DocumentWindow::create(*this, std::move(loaded.sound), name, path);
  if (!document) return;
  ViewState& view = document->view();
  const DocumentPlace& place = loaded.place;
  int32_t total = document->length();
  setSelection(view, place.selectionStart, place.selectionEnd, total);
  view.cursor = std::clamp(place.cursor, 0, total);
  setVisibleRange(view, place.visibleStart, place.visibleEnd, total);
  document->bookmarks() = std::move(loaded.bookmarks);
  for (Bookmark& bookmark : document->bookmarks()) bookmark.fileName = name;
  documentCreated(document);
  document->bookmarksChanged();
  document->viewChanged();
}

bool Frame::saveProject() {
  if (!projectOpen()) return saveProjectAs();
  return writeProject(m_projectPath);
}

bool Frame::saveProjectAs() {
  std::wstring folder = ui::widen(m_settings.lastFolder("SaveProjectAsDir"));
  std::wstring initial = projectOpen() ? ui::widen(sys::fileNameOf(m_projectPath)) : L"";
  while (true) {
    wchar_t path[MAX_PATH] = {};
    wcsncpy(path, initial.c_str(), MAX_PATH - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window;
    dialog.lpstrFilter = kProjectFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"vrp";
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return false;
    std::string chosen = ui::narrow(path);
    m_settings.setLastFolder("SaveProjectAsDir", sys::folderOf(chosen));
    bool sameProject = projectOpen() && sameItemName(chosen, m_projectPath);
    if (!sameProject && sys::fileExists(chosen)) {
      int answer = ui::showMessage(m_window,
                                   "Another project with the same name already exists. Do you want to replace it?",
                                   "Razavo", MB_YESNOCANCEL | MB_ICONQUESTION);
      if (answer == IDCANCEL) return false;
      if (answer == IDNO) {
        initial = ui::widen(sys::fileNameOf(chosen));
        continue;
      }
    }
    if (!writeProject(chosen)) return false;
    m_projectPath = chosen;
    updateTitle();
    updateCommands();
    return true;
  }
}

bool Frame::writeProject(const std::string& path) {
  if (m_documents.empty() &&
      ui::showMessage(m_window, "This project does not contain any file. Do you want to continue to save it?",
                      "Razavo", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  std::vector<ProjectDocument> documents;
  for (DocumentWindow* open : m_documents) {
    ProjectDocument document;
    document.path = open->hasName() ? open->path() : open->name();
    const ViewState& view = open->view();
    document.place = {view.cursor, view.selectionStart, view.selectionEnd, view.visibleStart, view.visibleEnd};
    document.bookmarks = open->bookmarks();
    document.sound = open->buffer();
    documents.push_back(std::move(document));
  }
  // Counts are one byte in the file: more would make a project nobody can read.
  if (std::string problem = projectCountProblem(documents, m_regions); !problem.empty()) {
    ui::showMessage(m_window, problem, "Razavo", MB_OK | MB_ICONWARNING);
    return false;
  }
  ProjectWriteStatus status = ProjectWriteStatus::Failed;
  ui::ProgressDialog progress;
  progress.run(m_window, "Saving Project", "Saving files...", [&](ui::ProgressDialog& dialog) {
    DialogProjectProgress stages(dialog);
    status = writeProjectFile(path, documents, m_regions, &stages);
    return status == ProjectWriteStatus::Done ? JobResult::Done : JobResult::Failed;
  });
  if (status == ProjectWriteStatus::CannotCreate)
    ui::showMessage(m_window, "Cannot open the file \"" + path + "\" for writing.", "Error", MB_OK | MB_ICONERROR);
  else if (status == ProjectWriteStatus::Failed)
    ui::showMessage(m_window, "Razavo could not save the project.", "Error", MB_OK | MB_ICONERROR);
  if (status != ProjectWriteStatus::Done) return false;
  m_projectChanged = false;
  updateCommands();
  return true;
}

bool Frame::closeProject() {
  if (!projectOpen()) return true;
  if (!settleProjectChanges()) return false;
  // Each file is still asked about on its own: its own file may lack what the
  // project holds.
  if (!closeAll()) return false;
  m_regions.clear();
  m_projectPath.clear();
  m_projectChanged = false;
  updateTitle();
  updateCommands();
  return true;
}
