// The Edit menu: every edit runs through runEdit, which records the undo
// step, runs the operation (under the progress dialog when it processes
// samples) and does the after-edit step.

#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>

#include "core/low_disk_check.h"
#include "core/block_store.h"
#include "editor/command_ids.h"
#include "editor/dialogs/edit_dialogs.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/playback_control.h"
#include "editor/model/document_names.h"
#include "effects/auto_split.h"
#include "effects/wave_clipboard_format.h"
#include "sys/folders.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

const wchar_t kAudioFilter[] =
    L"Sound files\0*.wav;*.aif;*.aiff;*.au;*.gsm;*.vox;*.raw;*.snd\0All files (*.*)\0*.*\0";

std::string askOpenPath(HWND owner, const wchar_t* title, const std::string& folder) {
  wchar_t path[MAX_PATH] = {};
  std::wstring initial = ui::widen(folder);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kAudioFilter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = title;
  dialog.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  return GetOpenFileNameW(&dialog) ? ui::narrow(path) : std::string();
}

}  // namespace

bool Frame::runEdit(DocumentWindow* document, const char* label, const std::string& progressTitle,
                    const std::function<EditResult(ProgressCallback*)>& operation) {
  return runEdit(document, label, ProgressLines{progressTitle, "Please wait...", ""}, operation);
}

bool Frame::runEdit(DocumentWindow* document, const char* label, const ProgressLines& lines,
                    const std::function<EditResult(ProgressCallback*)>& operation, const char* failure) {
  m_playback->stop();
  UndoState before = document->captureState();
  EditResult result;
  if (lines.title.empty()) {
    result = operation(nullptr);
  } else {
    ui::ProgressDialog progress;
    progress.run(m_window, lines.title, lines.line1, [&](ui::ProgressDialog& dialog) {
      if (!lines.line2.empty()) dialog.setLine(2, lines.line2);
      result = operation(&dialog);
      return result.status == EditStatus::Done        ? JobResult::Done
             : result.status == EditStatus::Cancelled ? JobResult::Cancelled
                                                      : JobResult::Failed;
    });
  }
  switch (result.status) {
    case EditStatus::Done: break;
    case EditStatus::TooLong:
      ui::showMessage(m_window, "The result would be longer than a sound may be (about 13 hours at 44,100 Hz).",
                      "Razavo", MB_OK | MB_ICONINFORMATION);
      return false;
    case EditStatus::Failed:
      ui::showMessage(m_window,
                      failure ? failure
                              : "The edit could not be completed: the audio could not be converted or written. "
                                "Check the free space of the working folder's drive.",
                      "Error", MB_OK | MB_ICONERROR);
      return false;
    default: return false;
  }
  if (label) {
    document->undoRing().pushUndoStep(label, before);
    document->setModified(true);
  }
  document->setSelectionState(result.selection);
  document->soundChanged();
  updateCommands();
  afterEdit(document, result.leadInFrames);
  return true;
}

void Frame::afterEdit(DocumentWindow* document, int32_t leadInFrames) {
  if (shouldWarnLowDiskSpace(blockFolder())) {
    ui::showMessage(m_window,
                    "The last action you performed to the file \"" + document->name() +
                        "\" might not be saved because you have very low free disk space. Please try saving the "
                        "file to a different location or making more space by removing unwanted files then try "
                        "again.",
                    "Low Disk Space", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!m_settings.autoPlaybackAfterEffects()) return;
  // Play from a little before the edit, so the change is heard in context.
  document->setCursor(std::max(0, document->view().cursor - leadInFrames));
  m_playback->play(document, true);
}

void Frame::openNewWindow(SoundBuffer sound, bool modified) {
  std::vector<std::string> names;
  for (DocumentWindow* open : m_documents) names.push_back(open->name());
  DocumentWindow* created = DocumentWindow::create(*this, std::move(sound), untitledName(nextUntitledNumber(names)), "");
  if (!created) return;
  created->setModified(modified);
  documentCreated(created);
}

void Frame::onEditCommand(int id, DocumentWindow* document) {
  SoundBuffer& sound = document->buffer();
  Selection selection = document->selection();
  SoundConverter& converter = *m_converter;
  switch (id) {
    case cmd::Undo:
    case cmd::Redo: {
      UndoState state = document->captureState();
      UndoRing& ring = document->undoRing();
      if (id == cmd::Undo ? ring.undo(state) : ring.redo(state)) document->restoreState(state);
      updateCommands();
      return;
    }
    case cmd::Cut:
      if (runEdit(document, editlabel::kCut, "", [&](ProgressCallback*) { return cut(sound, selection, m_clipboard); }))
        offerWindowsClipboard();
      return;
    case cmd::Copy: {
      EditResult result = copy(sound, selection, m_clipboard);
      if (result.status != EditStatus::Done) return;
      document->setSelectionState(result.selection);
      document->viewChanged();
      offerWindowsClipboard();
      updateCommands();
      return;
    }
    case cmd::CopyToNew: {
      SoundBuffer part;
      if (copyToNew(sound, selection, part).status == EditStatus::Done) openNewWindow(std::move(part), true);
      return;
    }
    case cmd::Paste:
      if (m_clipboard.empty()) return;
      runEdit(document, editlabel::kPaste, "Pasting", [&](ProgressCallback* progress) {
        return paste(sound, selection, m_clipboard.sound(), converter, progress);
      });
      return;
    case cmd::PasteFromClipboard:
    case cmd::PasteMixFromClipboard: {
      SoundBuffer fromWindows;
      if (!readWindowsClipboard(fromWindows)) return;
      if (id == cmd::PasteFromClipboard) {
        runEdit(document, editlabel::kPaste, "Pasting", [&](ProgressCallback* progress) {
          return paste(sound, selection, fromWindows, converter, progress);
        });
        return;
      }
      MixSettings settings;
      if (!askPasteMix(m_window, *m_store, "Paste Mix", settings)) return;
      runEdit(document, editlabel::kPasteMix, "Pasting Mix", [&](ProgressCallback* progress) {
        return pasteMix(sound, selection, fromWindows, settings, converter, progress);
      });
      return;
    }
    case cmd::PasteMix: {
      if (m_clipboard.empty()) return;
      MixSettings settings;
      if (!askPasteMix(m_window, *m_store, "Paste Mix", settings)) return;
      runEdit(document, editlabel::kPasteMix, "Pasting Mix", [&](ProgressCallback* progress) {
        return pasteMix(sound, selection, m_clipboard.sound(), settings, converter, progress);
      });
      return;
    }
    case cmd::MixFile: {
      std::string path = askOpenPath(m_window, L"Mix File", m_store->read("Settings", "MixFileDir", ""));
      if (path.empty()) return;
      m_store->write("Settings", "MixFileDir", sys::folderOf(path));
      SoundBuffer loaded;
      MixSettings settings;
      if (openWithProgress(path, loaded) != JobResult::Done || !askPasteMix(m_window, *m_store, "Mix File", settings))
        return;
      runEdit(document, editlabel::kMixFile, "Pasting Mix", [&](ProgressCallback* progress) {
        return mixFile(sound, selection, loaded, settings, converter, progress);
      });
      return;
    }
    case cmd::Delete:
      runEdit(document, editlabel::kDelete, "", [&](ProgressCallback*) { return deleteSelection(sound, selection); });
      return;
    case cmd::RepeatLoop: {
      int32_t times = 1;
      if (!askRepeatLoop(m_window, *m_store, times)) return;
      runEdit(document, editlabel::kRepeatLoop, "", [&](ProgressCallback*) { return repeatLoop(sound, selection, times); });
      return;
    }
    case cmd::Trim:
      runEdit(document, editlabel::kTrim, "", [&](ProgressCallback*) { return trim(sound, selection); });
      return;
    case cmd::TrimStart:
      runEdit(document, editlabel::kTrimStart, "", [&](ProgressCallback*) { return trimStart(sound, selection); });
      return;
    case cmd::TrimEnd:
      runEdit(document, editlabel::kTrimEnd, "", [&](ProgressCallback*) { return trimEnd(sound, selection); });
      return;
    case cmd::SilenceSelection:
      runEdit(document, editlabel::kSilence, "", [&](ProgressCallback*) { return silenceSelection(sound, selection); });
      return;
    case cmd::SplitHere: {
      SoundBuffer second;
      if (runEdit(document, editlabel::kSplit, "",
                  [&](ProgressCallback*) { return splitAtCursor(sound, selection, second); }))
        openNewWindow(std::move(second), true);
      return;
    }
    case cmd::InsertSilenceBegin:
    case cmd::InsertSilenceCurrent:
    case cmd::InsertSilenceEnd: {
      auto place = static_cast<InsertPlace>(id - cmd::InsertSilenceBegin);
      int64_t milliseconds = 0;
      if (!askInsertSilence(m_window, *m_store, milliseconds)) return;
      runEdit(document, insertSilenceLabel(place), "",
              [&](ProgressCallback*) { return insertSilence(sound, selection, place, milliseconds); });
      return;
    }
    case cmd::InsertFileBegin:
    case cmd::InsertFileCurrent:
    case cmd::InsertFileEnd: {
      auto place = static_cast<InsertPlace>(id - cmd::InsertFileBegin);
      std::string path = askOpenPath(m_window, L"Open Audio Files", m_store->read("Settings", "InsertFileDir", ""));
      if (path.empty()) return;
      m_store->write("Settings", "InsertFileDir", sys::folderOf(path));
      SoundBuffer loaded;
      if (openWithProgress(path, loaded) != JobResult::Done) return;
      runEdit(document, insertFileLabel(place), "Inserting", [&](ProgressCallback* progress) {
        return insertFile(sound, selection, place, loaded, converter, progress);
      });
      return;
    }
    case cmd::SaveSelectionAs: {
      SoundBuffer region;
      if (extractSelection(sound, selection, region).status != EditStatus::Done) return;
      saveSoundAsDialog(region, L"Save Audio File As");
      return;
    }
    case cmd::AutoSplit: {
      AutoSplitSettings settings;
      if (!askAutoSplit(m_window, *m_store, settings)) return;
      AutoSplitResult found;
      ui::ProgressDialog progress;
      progress.run(m_window, "Auto Split", "Looking for silences...", [&](ui::ProgressDialog& dialog) {
        found = findAutoSplitParts(sound, settings, &dialog);
        return found.result;
      });
      if (found.result != JobResult::Done) return;
      if (found.parts.empty()) {
        ui::showMessage(m_window, "No part louder than the silence level was found.", "Auto Split File",
                        MB_OK | MB_ICONINFORMATION);
        return;
      }
      for (const FrameRange& part : found.parts) {
        SoundBuffer piece;
        if (piece.extractRange(sound, part.start, part.end)) openNewWindow(std::move(piece), true);
      }
      return;
    }
  }
}

// ------------------------------------------------------- Windows clipboard

void Frame::offerWindowsClipboard() {
  // The wave is made only when another program asks for it.
  if (!OpenClipboard(m_window)) return;
  EmptyClipboard();
  SetClipboardData(CF_WAVE, nullptr);
  CloseClipboard();
}

void Frame::renderWindowsClipboard() {
  std::vector<uint8_t> image;
  if (encodeWaveImage(m_clipboard.sound(), image) != WaveImageStatus::Good) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, image.size());
  if (!memory) return;
  if (void* bytes = GlobalLock(memory)) {
    std::copy(image.begin(), image.end(), static_cast<uint8_t*>(bytes));
    GlobalUnlock(memory);
    if (SetClipboardData(CF_WAVE, memory)) return;
  }
  GlobalFree(memory);
}

bool Frame::readWindowsClipboard(SoundBuffer& sound) {
  if (!IsClipboardFormatAvailable(CF_WAVE) || !OpenClipboard(m_window)) return false;
  bool good = false;
  if (HANDLE data = GetClipboardData(CF_WAVE)) {
    if (auto* bytes = static_cast<const uint8_t*>(GlobalLock(data))) {
      WaveImageStatus status = decodeWaveImage(bytes, GlobalSize(data), sound);
      GlobalUnlock(data);
      good = status == WaveImageStatus::Good;
      if (!good)
        ui::showMessage(m_window, "The sound on the Windows clipboard cannot be read.", "Razavo",
                        MB_OK | MB_ICONINFORMATION);
    }
  }
  CloseClipboard();
  return good;
}
