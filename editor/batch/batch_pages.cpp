// The first and third steps: the files to process, and where and how the
// results are saved.

#include "editor/batch/batch_pages.h"

#include <commdlg.h>
#include <shlobj.h>

#include <iterator>

#include "editor/format_settings.h"
#include "formats/extension.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr int kPageWidth = 320, kPageHeight = 196;

// The kinds of file the editor opens, for the file dialog and for folders.
const char* const kAudioExtensions[] = {".wav", ".aif", ".aiff", ".au",  ".gsm", ".vox", ".raw", ".snd", ".mp3",
                                        ".flac", ".ogg", ".aac", ".m4a", ".amr", ".shn", ".wma", ".act", ".rec",
                                        ".rcd", ".dct", ".dss", ".sri", ".ra",  ".ram", ".rm",  ".rmj"};

bool isAudioFile(const std::string& path) {
  const std::string extension = lowerExtension(path);
  for (const char* known : kAudioExtensions)
    if (extension == known) return true;
  return false;
}

std::wstring audioFilter() {
  std::wstring patterns;
  for (const char* extension : kAudioExtensions) patterns += (patterns.empty() ? L"*" : L";*") + ui::widen(extension);
  std::wstring filter = L"Sound files";
  filter.push_back(0);
  filter += patterns;
  filter.push_back(0);
  filter += L"All files (*.*)";
  filter.push_back(0);
  filter += L"*.*";
  filter.push_back(0);
  return filter;
}

int CALLBACK selectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

// The system's folder browser, opened at start (when given); empty when cancelled.
std::string browseForFolder(HWND owner, const wchar_t* title, const std::string& start = "") {
  const std::wstring startFolder = ui::widen(start);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = selectStartFolder;
  browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
  std::string folder;
  if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse)) {
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(chosen, path)) folder = ui::narrow(path);
    CoTaskMemFree(chosen);
  }
  return folder;
}

class BatchFilesPage : public BatchPage {
 public:
  static constexpr int kFiles = 101, kAddFile = 102, kRemove = 103, kAddFolder = 104;

  explicit BatchFilesPage(BatchConverterState& state)
      : BatchPage(ui::DialogTemplate("", kPageWidth, kPageHeight, kPageStyle)
                      .text(-1, "Step 1:", 8, 6, 300, 10)
                      .text(-1,
                            "Click on the Add File or Add Folder button to select the files or folder you want to "
                            "process.",
                            8, 18, 300, 18)
                      .listBox(kFiles, 8, 40, 236, 150,
                               LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER)
                      .button(kAddFile, "Add &File...", 252, 40, 62, 14)
                      .button(kAddFolder, "Add Fol&der...", 252, 58, 62, 14)
                      .button(kRemove, "Remove", 252, 76, 62, 14)),
        m_state(state) {}

  void refresh() override { showFiles(); }
  void showFiles() {
    sendItem(kFiles, LB_RESETCONTENT);
    for (const std::string& file : m_state.files) addListItem(kFiles, file);
    sendItem(kFiles, LB_SETHORIZONTALEXTENT, 2000);
  }

 protected:
  bool onInit() override {
    showFiles();
    return false;
  }
  void onCommand(int id, int) override {
    switch (id) {
      case kAddFile: return addFiles();
      case kAddFolder: return addFolder();
      case kRemove: return removeSelected();
    }
  }

 private:
  void addFiles() {
    std::vector<wchar_t> buffer(64 * 1024, 0);
    const std::wstring filter = audioFilter();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = handle();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = L"Select Audio Files";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return;
    // Several files come as the folder, then each name, each ending in a zero.
    const std::wstring first = buffer.data();
    const wchar_t* next = buffer.data() + first.size() + 1;
    std::vector<std::string> paths;
    if (*next == 0) paths.push_back(ui::narrow(first));
    for (; *next; next += wcslen(next) + 1) paths.push_back(sys::joinPath(ui::narrow(first), ui::narrow(next)));
    addBatchFiles(m_state, *this, paths);
  }

  void addFolder() {
    const std::string folder =
        browseForFolder(handle(), L"Locate folder:", m_state.store.read("Settings", "LoadFromFolder", ""));
    if (folder.empty()) return;
    m_state.store.write("Settings", "LoadFromFolder", folder);
    std::vector<std::string> paths;
    for (const std::string& name : sys::listFiles(folder))
      if (isAudioFile(name)) paths.push_back(sys::joinPath(folder, name));
    addBatchFiles(m_state, *this, paths);
  }

  void removeSelected() {
    for (int i = static_cast<int>(sendItem(kFiles, LB_GETCOUNT)) - 1; i >= 0; --i)
      if (sendItem(kFiles, LB_GETSEL, i) > 0) m_state.files.erase(m_state.files.begin() + i);
    showFiles();
  }

  BatchConverterState& m_state;
};

class BatchOutputPage : public BatchPage {
 public:
  static constexpr int kSameFormat = 101, kConvert = 102, kFormats = 103, kFormatOptions = 104;
  static constexpr int kSameFolder = 105, kOwnFolder = 106, kFolder = 107, kBrowse = 108;

  explicit BatchOutputPage(BatchConverterState& state)
      : BatchPage(ui::DialogTemplate("", kPageWidth, kPageHeight, kPageStyle)
                      .text(-1, "Step 3:", 8, 6, 300, 10)
                      .text(-1, "Select the output format and folder then click Finish.", 8, 18, 300, 10)
                      .groupBox(-1, "Output format", 8, 34, 306, 62)
                      .radio(kSameFormat, "Use the &same file format that was used to load the files", 16, 46, 290,
                             10, true)
                      .radio(kConvert, "&Convert to file format", 16, 60, 290, 10, false)
                      .comboBox(kFormats, 28, 74, 180, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                      .button(kFormatOptions, "&Format Options", 216, 73, 80, 14)
                      .groupBox(-1, "Output folder", 8, 102, 306, 72)
                      .radio(kSameFolder,
                             "Use the sa&me folder that the files were loaded from (replace files if format is the "
                             "same)",
                             16, 114, 290, 18, true, BS_MULTILINE)
                      .radio(kOwnFolder, "Sa&ve to this folder", 16, 136, 290, 10, false)
                      .edit(kFolder, "", 28, 150, 246, 12, ES_AUTOHSCROLL)
                      .button(kBrowse, "...", 280, 149, 20, 14)),
        m_state(state) {}

  bool apply() override {
    m_state.output.sameFormat = isChecked(kSameFormat);
    m_state.output.formatIndex = std::max(0, comboSelection(kFormats));
    m_state.output.sameFolder = isChecked(kSameFolder);
    m_state.output.folder = getText(kFolder);
    return true;
  }

 protected:
  bool onInit() override {
    for (const char* name : kBatchOutputFormatNames) addComboItem(kFormats, name);
    const BatchOutputSettings& output = m_state.output;
    setCheck(output.sameFormat ? kSameFormat : kConvert, true);
    setComboSelection(kFormats, output.formatIndex < kBatchOutputFormatCount ? output.formatIndex : 0);
    setCheck(output.sameFolder ? kSameFolder : kOwnFolder, true);
    setText(kFolder, output.folder);
    enableChoices();
    return false;
  }
  void onCommand(int id, int code) override {
    switch (id) {
      case kSameFormat: case kConvert: case kSameFolder: case kOwnFolder: return enableChoices();
      case kFormats:
        if (code == CBN_SELCHANGE) enableChoices();
        return;
      case kFormatOptions: {
        const std::string extension = kBatchOutputExtensions[std::max(0, comboSelection(kFormats))];
        showFormatSettings(handle(), {extension, 0, 0}, m_state.store, m_state.dataFolder);
        return;
      }
      case kBrowse: {
        const std::string folder = browseForFolder(handle(), L"Locate Output Folder", getText(kFolder));
        if (!folder.empty()) setText(kFolder, folder);
        return;
      }
    }
  }

 private:
  void enableChoices() {
    const bool convert = isChecked(kConvert);
    enable(kFormats, convert);
    const int format = comboSelection(kFormats);
    enable(kFormatOptions, convert && format >= 0 && hasFormatSettings(kBatchOutputExtensions[format]));
    enable(kFolder, isChecked(kOwnFolder));
    enable(kBrowse, isChecked(kOwnFolder));
  }

  BatchConverterState& m_state;
};

}  // namespace

std::unique_ptr<BatchPage> makeBatchFilesPage(BatchConverterState& state) {
  return std::make_unique<BatchFilesPage>(state);
}

std::unique_ptr<BatchPage> makeBatchOutputPage(BatchConverterState& state) {
  return std::make_unique<BatchOutputPage>(state);
}

void addBatchFiles(BatchConverterState& state, BatchPage& filesPage, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    bool listed = false;
    for (const std::string& file : state.files) listed = listed || sameFilePath(file, path);
    if (!listed) state.files.push_back(path);
  }
  filesPage.refresh();
}
