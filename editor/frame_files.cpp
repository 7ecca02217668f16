// File commands of the frame: new, open, save, close and exit, the recent
// list, the keys file and the command line.

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <ctime>

#include "editor/batch/batch_converter_window.h"
#include "editor/command_ids.h"
#include "editor/dialogs/new_file_dialog.h"
#include "editor/dialogs/options_dialog.h"
#include "editor/dialogs/select_time_dialog.h"
#include "editor/document_window.h"
#include "editor/encoder_component.h"
#include "editor/save_as_dialog.h"
#include "editor/frame.h"
#include "editor/frame_controls.h"
#include "editor/playback_control.h"
#include "editor/model/command_line.h"
#include "editor/model/document_names.h"
#include "editor/model/recent_files.h"
#include "editor/windows_file_ui.h"
#include "editor/about_panel.h"
#include "formats/extension.h"
#include "formats/sound_file_io.h"
#include "net/download_hosts.h"
#include "net/shipped_installers.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "ui/import_progress.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

constexpr int kRecentMenuPosition = 23;
constexpr const char* kKeysFileName = "keys.dat";

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string fullPath(const std::string& path) {
  wchar_t full[MAX_PATH];
  DWORD length = GetFullPathNameW(ui::widen(path).c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? ui::narrow(full) : path;
}

const wchar_t kOpenFilter[] =
    L"Sound files\0*.wav;*.aif;*.aiff;*.au;*.gsm;*.vox;*.raw;*.snd;*.mp3;*.flac;*.ogg;*.aac;*.m4a;*.amr;*.shn;*.wma;"
    L"*.act;*.rec;*.rcd;*.dct;*.dss;*.sri;*.ra;*.ram;*.rm;*.rmj\0"
    L"WAVE (*.wav)\0*.wav\0AIFF (*.aif;*.aiff)\0*.aif;*.aiff\0Sun AU (*.au)\0*.au\0GSM 6.10 (*.gsm)\0*.gsm\0"
    L"Dialogic VOX (*.vox)\0*.vox\0Raw audio (*.raw;*.snd)\0*.raw;*.snd\0All files (*.*)\0*.*\0";

}  // namespace

void Frame::newFile() {
  int32_t rate = m_settings.defaultSampleRate();
  int channels = m_settings.defaultChannels();
  if (m_settings.promptSampleAndChannels()) {
    rate = m_settings.selectedSampleRate();
    channels = m_settings.selectedChannels();
    if (!askNewFileFormat(m_window, rate, channels)) return;
    m_settings.setSelectedSampleRate(rate);
    m_settings.setSelectedChannels(channels);
  }
  std::vector<std::string> names;
  for (DocumentWindow* document : m_documents) names.push_back(document->name());
  SoundBuffer empty(rate, channels);
  DocumentWindow* document = DocumentWindow::create(*this, std::move(empty), untitledName(nextUntitledNumber(names)), "");
  if (document) documentCreated(document);
}

void Frame::openFileDialog() {
  wchar_t path[MAX_PATH * 8] = {};
  std::wstring folder = ui::widen(m_settings.lastFolder("OpenFileDir"));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = m_window;
  dialog.lpstrFilter = kOpenFilter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = static_cast<DWORD>(std::size(path));
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return;
  // Several files come as the folder, then each name, each ending in a zero.
  std::wstring first = path;
  std::vector<std::string> files;
  const wchar_t* next = path + first.size() + 1;
  if (*next == 0) {
    files.push_back(ui::narrow(first));
  } else {
    for (; *next; next += wcslen(next) + 1) files.push_back(sys::joinPath(ui::narrow(first), ui::narrow(next)));
  }
  m_settings.setLastFolder("OpenFileDir", sys::folderOf(files.front()));
  for (const auto& file : files) openFile(file);
}

bool Frame::openFile(const std::string& requested) {
  std::string path = fullPath(requested);
  std::string name = sys::fileNameOf(path);
  for (DocumentWindow* document : m_documents) {
    if (document->hasName() && sameName(document->path(), path)) {
      SendMessageW(m_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document->handle()), 0);
      return true;
    }
  }
  SoundBuffer loaded;
  if (openWithProgress(path, loaded) != JobResult::Done) return false;
  DocumentWindow* document = DocumentWindow::create(*this, std::move(loaded), name, path);
  if (!document) return false;
  readTagsAfterOpen(document);  // tags
  documentCreated(document);
  m_fileUi->showHeldWarning();  // a file opened past damage
  if (m_settings.playWhenOpen()) m_playback->play(document, true);
  return true;
}

bool Frame::saveDocument(DocumentWindow* document) {
  if (!document) return false;
  if (!document->hasName()) return saveDocumentAsDialog(document);
  // Only the tags changed: they are rewritten, the audio is not re-encoded.
  if (!document->modified() && document->tagsModified() && canCarryTags(document->path()) &&
      sys::fileExists(document->path()))
    return saveTagsOnly(document);
  return saveDocumentAs(document, document->path(), true);
}

bool Frame::saveDocumentAs(DocumentWindow* document, const std::string& requested, bool sameFormat,
                           bool formatChosen) {
  std::string path = fullPath(requested);
  SinkRequest request;
  request.path = path;
  if (sameFormat) {
    request.sameFormat = true;
    request.channelsOverride = document->buffer().channels();
  }
  // A WAVE keeps the PCM width of the document's own WAVE file unless a
  // format was picked for this save.
  if (!formatChosen && document->hasName() && lowerExtension(document->path()) == ".wav")
    request.keepWidthOf = document->path();
  // On failure the document stays marked modified: nothing of it is lost.
  // The tags are written into the finished file before it replaces the target.
  if (saveWithProgress(document->buffer(), request, &document->tags()) != JobResult::Done) return false;
  document->setTagsModified(false);
  document->setPath(path);
  document->setModified(false);
  // Every state kept for undo now differs from the file on disk.
  document->undoRing().markSavedState();
  updateCommands();
  return true;
}

SaveAsChoice Frame::askSavePath(const std::string& initialName, const wchar_t* title, bool confirmReplace,
                                const SoundBuffer& sound, const char* folderSetting) {
  std::string initial = initialName;
  while (true) {
    SaveAsDialogRequest request;
    request.owner = m_window;
    request.title = title;
    request.initialName = initial;
    request.initialFolder = m_settings.lastFolder(folderSetting);
    request.filterIndex = std::atoi(m_settings.lastFolder("SaveAsFormat").c_str());
    request.overwritePrompt = !confirmReplace;
    request.channels = sound.channels();
    request.sampleRate = sound.sampleRate();
    request.settings = m_store.get();
    request.dataFolder = m_dataFolder;
    SaveAsChoice chosen = runSaveAsDialog(request);
    if (chosen.path.empty()) return chosen;
    m_settings.setLastFolder(folderSetting, sys::folderOf(chosen.path));
    m_settings.setLastFolder("SaveAsFormat", std::to_string(chosen.filterIndex));
    int answer = IDYES;
    if (confirmReplace && sys::fileExists(chosen.path))
      answer = ui::showMessage(m_window,
                               "Another file with the same name already exists. Do you want to replace it?",
                               "Razavo", MB_YESNOCANCEL | MB_ICONQUESTION);
    // A playlist's MP3 is replaced only when the user agrees too.
    if (answer == IDYES && !confirmCompanionReplace(m_window, chosen.path)) answer = IDNO;
    if (answer == IDYES) return chosen;
    if (answer == IDCANCEL) return {};
    initial = sys::fileNameOf(chosen.path);
  }
}

bool Frame::saveDocumentAsDialog(DocumentWindow* document) {
  if (!document) return false;
  SaveAsChoice chosen = askSavePath(document->name(), nullptr, false, document->buffer());
  return !chosen.path.empty() && saveDocumentAs(document, chosen.path, false, chosen.formatChosen);
}

bool Frame::saveSoundAsDialog(const SoundBuffer& sound, const wchar_t* title) {
  SaveAsChoice chosen = askSavePath("", title, true, sound);
  SinkRequest request;
  request.path = chosen.path;
  return !chosen.path.empty() && saveWithProgress(sound, request) == JobResult::Done;
}

JobResult Frame::openWithProgress(const std::string& path, SoundBuffer& sound) {
  ui::ProgressDialog progress;
  ui::ComponentDownloadSettings downloads{"Razavo", net::readDownloadHosts(*m_store), net::shippedInstallers()};
  return progress.run(m_window, "Opening", "Opening \"" + sys::fileNameOf(path) + "\"", [&](ui::ProgressDialog& dialog) {
    // Formats without a reader of their own are imported inside this dialog.
    ui::ImportProgress importer(dialog, downloads);
    FormatContext context = m_formats;
    context.importer = &importer;
    return loadSoundFile(path, context, sound, &dialog);
  });
}

JobResult Frame::saveWithProgress(const SoundBuffer& sound, const SinkRequest& request, const FileTags* tags) {
  const std::string& path = request.path;
  FormatContext formats = m_formats;
  if (tags && canCarryTags(path) && carriesAnyTag(*tags))
    formats.finishAudioFile = [tags](const std::string& temporaryPath, const std::string& targetPath) {
      return writeFileTagsAs(temporaryPath, targetPath, *tags);
    };
  // A missing encoder is offered for download first; its failure has its own message.
  JobResult component = ensureEncoderComponent(m_window, path, *m_store);
  if (component != JobResult::Done) return component;
  ui::ProgressDialog progress;
  JobResult result =
      progress.run(m_window, "Saving", "Saving \"" + sys::fileNameOf(path) + "\"",
                   [&](ui::ProgressDialog& dialog) { return saveSoundFile(sound, request, formats, &dialog); });
  if (result == JobResult::Failed)
    ui::showMessage(m_window,
                    "Cannot save the file \"" + path +
                        "\". Check that the folder exists, that you may write to it and that the disk has space.",
                    "Error", MB_OK | MB_ICONERROR);
  return result;
}

bool Frame::closeDocument(DocumentWindow* document) {
  if (!document) return true;
  m_playback->documentGone(document);
  if (document->modified() || document->tagsModified() || !document->hasName()) {
    int answer = ui::showMessage(m_window, "Save changes to \"" + document->name() + "\"?", "Razavo",
                                 MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES && !saveDocument(document)) return false;
  }
  if (document->hasName()) {
    rememberRecent(*m_store, document->path(), static_cast<int64_t>(std::time(nullptr)));
    rebuildRecentMenu();
  }
  SendMessageW(m_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document->handle()), 0);
  return true;
}

bool Frame::closeAll() {
  while (!m_documents.empty()) {
    DocumentWindow* document = activeDocument();
    if (!document) document = m_documents.back();
    if (!closeDocument(document)) return false;
  }
  return true;
}

void Frame::exitProgram() {
  if (m_exiting) return;
  // The project is settled while its files are still open: saved after they
  // closed it would hold none of them.
  if (!settleProjectChanges()) return;
  m_exiting = true;
  bool closed = closeAll();
  m_exiting = false;
  if (!closed) return;
  DestroyWindow(m_window);
}

void Frame::openRecent(int index) {
  auto entries = recentEntries(*m_store);
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  openFile(entries[index].path);
}

void Frame::rebuildRecentMenu() {
  HMENU file = GetSubMenu(GetMenu(m_window), 0);
  if (!file) return;
  for (int id = cmd::RecentFirst; id <= cmd::RecentLast + 1; ++id) DeleteMenu(file, id, MF_BYCOMMAND);
  // Exit and its separator go below the list when there is one.
  DeleteMenu(file, cmd::Exit, MF_BYCOMMAND);
  while (GetMenuItemCount(file) > kRecentMenuPosition - 1) {
    int last = GetMenuItemCount(file) - 1;
    if (GetMenuItemID(file, last) != 0) break;
    DeleteMenu(file, last, MF_BYPOSITION);
  }
  auto entries = recentEntries(*m_store);
  int position = GetMenuItemCount(file);
  InsertMenuW(file, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  if (entries.empty()) {
    InsertMenuW(file, position, MF_BYPOSITION | MF_STRING, cmd::Exit, L"E&xit");
  } else {
    for (size_t i = 0; i < entries.size(); ++i)
      InsertMenuW(file, position++, MF_BYPOSITION | MF_STRING, cmd::RecentFirst + static_cast<int>(i),
                  ui::widen(recentMenuLabel(static_cast<int>(i) + 1, entries[i].path)).c_str());
    InsertMenuW(file, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuW(file, position, MF_BYPOSITION | MF_STRING, cmd::Exit, L"E&xit\tAlt+F4");
  }
  DrawMenuBar(m_window);
}

void Frame::loadKeys() {
  m_userKeys.clear();
  std::string path = sys::joinPath(m_dataFolder, kKeysFileName);
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(file.size(), 0)));
  bytes.resize(file.read(bytes.data(), bytes.size()));
  if (parseKeysFile(bytes, m_userKeys) == KeysFileResult::WrongVersion)
    ui::showMessage(nullptr,
                    "This file does not have the same version with the current Razavo version or it is corrupted.",
                    "File Error", MB_OK | MB_ICONERROR);
}

bool Frame::saveKeys() {
  std::vector<uint8_t> bytes = serializeKeysFile(m_userKeys);
  sys::File file = sys::File::open(sys::joinPath(m_dataFolder, kKeysFileName), sys::Access::ReadWrite,
                                   sys::Share::None, sys::Disposition::CreateAlways);
  if (!file.isOpen() || file.write(bytes.data(), bytes.size()) != bytes.size()) {
    ui::showMessage(m_window, "Razavo cannot open this file. The file does not exist or may be corrupted.",
                    "File Error", MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

void Frame::runCommandLine(const std::vector<std::string>& arguments) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(m_window, &placement);
  ShowWindow(m_window, placement.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetForegroundWindow(m_window);
  bool done = false;
  for (const CommandLineStep& step : parseCommandLine(arguments)) {
    done = done || countsAsDone(step);
    switch (step.kind) {
      case CommandLineStep::Open: openFile(step.path); break;
      case CommandLineStep::OpenProject: openProject(step.path); break;
      case CommandLineStep::Save: onCommand(cmd::SaveFile, 0); break;
      case CommandLineStep::SaveAs:
        if (DocumentWindow* document = activeDocument()) saveDocumentAs(document, step.path);
        break;
      case CommandLineStep::Close: onCommand(cmd::CloseFile, 0); break;
      case CommandLineStep::Exit: onCommand(cmd::Exit, 0); return;
      case CommandLineStep::Minimize: ShowWindow(m_window, SW_MINIMIZE); break;
      case CommandLineStep::Maximize: ShowWindow(m_window, SW_MAXIMIZE); break;
      case CommandLineStep::Restore: ShowWindow(m_window, SW_RESTORE); break;
      case CommandLineStep::Window: {
        RECT client{}, outer{};
        GetClientRect(m_window, &client);
        GetWindowRect(m_window, &outer);
        int width = step.width >= 0 ? step.width : client.right;
        int height = step.height >= 0 ? step.height : client.bottom;
        SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left - client.right + width,
                     outer.bottom - outer.top - client.bottom + height, SWP_NOMOVE | SWP_NOZORDER);
        break;
      }
      case CommandLineStep::List: {
        sys::File file =
            sys::File::open(step.path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
        std::string text(static_cast<size_t>(std::max<int64_t>(file.size(), 0)), '\0');
        text.resize(file.read(text.data(), text.size()));
        for (const auto& line : readListFile(text)) openFile(line);
        break;
      }
      case CommandLineStep::Batch:
        // The window opens (or takes the file) once this hand-over is done.
        if (!step.path.empty()) queueBatchFile(step.path);
        PostMessageW(m_window, kBatchFilesQueued, 0, 0);
        break;
      case CommandLineStep::RunEdit:
        break;
    }
  }
  if (!done) showAboutPanel(m_instance, m_window, 7000);
}

void Frame::showOptions() {
  OptionsDialog options(*this);
  m_workingFolderChanged = false;
  options.runModal(m_window);
  if (!m_workingFolderChanged) return;
  // The blocks of the open sounds live in the old folder.
  ui::showMessage(m_window,
                  "Razavo will now close because you changed the audio working folder.\r\r"
                  "Please re-run Razavo to start with the new folders.",
                  "Shut Down Required", MB_OK | MB_ICONINFORMATION);
  onCommand(cmd::Exit, 0);
}

void Frame::selectSpecifiedTime(DocumentWindow* document) {
  ViewState& view = document->view();
  if (askSpecifiedTime(m_window, view, document->length())) document->viewChanged();
}
