// The command dispatcher: every menu item, button, key and switch ends here.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "core/block_store.h"
#include "core/sample.h"
#include "editor/about_panel.h"
#include "editor/command_bar.h"
#include "editor/batch/batch_converter_window.h"
#include "editor/command_ids.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/frame_controls.h"
#include "editor/help_contents.h"
#include "editor/playback_control.h"
#include "editor/model/effect_descriptor.h"
#include "editor/model/time_text.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

// Commands whose work exists in this build; the others stay disabled.
bool commandBuilt(int id) {
  switch (id) {
    case cmd::NewFile: case cmd::OpenFile: case cmd::CloseFile: case cmd::SaveFile: case cmd::SaveFileAs:
    case cmd::Options: case cmd::Exit: case cmd::EditTags: case cmd::Send:
    case cmd::SelectAll: case cmd::SelectToStart: case cmd::SelectToEnd: case cmd::SelectSpecifiedTime:
    case cmd::MarkFirst: case cmd::MarkSecond: case cmd::RecallMarks: case cmd::GoToStart: case cmd::GoToEnd:
    case cmd::Play: case cmd::PlaySlow: case cmd::PlayNormal: case cmd::PlayFast: case cmd::Stop: case cmd::LoopPlay:
    case cmd::Rewind: case cmd::FastForward: case cmd::PlayButton: case cmd::PauseButton: case cmd::StopButton:
    case cmd::StartButton: case cmd::RewindButton: case cmd::ForwardButton: case cmd::EndButton:
    case cmd::ZoomIn: case cmd::ZoomOut: case cmd::ZoomToSelection: case cmd::ZoomFull: case cmd::VerticalZoom:
    case cmd::DisplayPlusMinus: case cmd::DisplayLeftRight: case cmd::DisplayDual:
    case cmd::Cascade: case cmd::TileHorizontal: case cmd::TileVertical: case cmd::ArrangeIcons: case cmd::CloseAll:
    case cmd::ShowMainToolbar: case cmd::ShowEffectsToolbar: case cmd::ShowCommandBar: case cmd::CommandBarLeft:
    case cmd::CommandBarRight: case cmd::About: case cmd::HelpContents:
    case cmd::GrabNoiseSample:
    case cmd::BurnAudioCd: case cmd::BurnDataCd: case cmd::ToneGenerator: case cmd::CheckForUpdate:
      return true;
    case cmd::Fft: case cmd::Tfft:
      return true;
    case cmd::OpenProject: case cmd::CloseProject: case cmd::SaveProject: case cmd::SaveProjectAs:
    case cmd::SetBookmark: case cmd::BookmarkList: case cmd::AddRegion: case cmd::RegionList:
    case cmd::AssembleRegions:
    case cmd::BatchConverter:
      return true;
    case cmd::DirectX: case cmd::Vst:
      return true;
    case cmd::Record: case cmd::RecordButton: case cmd::TextToSpeech:
      return true;
    case cmd::LoadCdTracks:
      return true;
    case cmd::Undo: case cmd::Redo: case cmd::Cut: case cmd::Copy: case cmd::CopyToNew: case cmd::Paste:
    case cmd::PasteFromClipboard: case cmd::PasteMix: case cmd::PasteMixFromClipboard: case cmd::Delete:
    case cmd::MixFile: case cmd::RepeatLoop: case cmd::Trim: case cmd::TrimStart: case cmd::TrimEnd:
    case cmd::SplitHere: case cmd::AutoSplit: case cmd::SilenceSelection: case cmd::SaveSelectionAs:
    case cmd::InsertSilenceBegin: case cmd::InsertSilenceCurrent: case cmd::InsertSilenceEnd:
    case cmd::InsertFileBegin: case cmd::InsertFileCurrent: case cmd::InsertFileEnd:
      return true;
  }
  return findEffectDescriptor(id) || (id >= cmd::RecentFirst && id <= cmd::RecentLast) ||
         (id >= cmd::WindowFirst && id <= cmd::WindowLast);
}

// Commands that act on the active file.
bool needsDocument(int id) {
  switch (id) {
    case cmd::Stop: case cmd::StopButton: case cmd::LoopPlay:
    case cmd::NewFile: case cmd::OpenFile: case cmd::Options: case cmd::Exit: case cmd::Cascade:
    case cmd::TileHorizontal: case cmd::TileVertical: case cmd::ArrangeIcons: case cmd::CloseAll:
    case cmd::ShowMainToolbar: case cmd::ShowEffectsToolbar: case cmd::ShowCommandBar: case cmd::CommandBarLeft:
    case cmd::CommandBarRight: case cmd::About: case cmd::HelpContents:
    case cmd::Record: case cmd::RecordButton: case cmd::TextToSpeech:
    case cmd::LoadCdTracks:
    case cmd::ToneGenerator: case cmd::CheckForUpdate:
    case cmd::OpenProject: case cmd::CloseProject: case cmd::SaveProject: case cmd::SaveProjectAs:
    case cmd::RegionList: case cmd::AssembleRegions:
    case cmd::BatchConverter:
      return false;
  }
  return !(id >= cmd::RecentFirst && id <= cmd::RecentLast);
}

int allMenuCommands(HMENU menu, std::vector<int>& ids) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      allMenuCommands(sub, ids);
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1)) ids.push_back(static_cast<int>(id));
  }
  return count;
}

}  // namespace

void Frame::onCommand(int id, int notification) {
  // The command bar's items stand for commands; its headers open and close topics.
  if (int command = CommandBar::commandOf(id)) return onCommand(command, 0);
  if (m_commandBar && m_commandBar->toggleTopic(id)) return;
  DocumentWindow* document = activeDocument();
  if (id >= cmd::RecentFirst && id <= cmd::RecentLast) return openRecent(id - cmd::RecentFirst);
  if (id >= cmd::WindowFirst && id <= cmd::WindowLast) {
    DefFrameProcW(m_window, m_mdiClient, WM_COMMAND, MAKEWPARAM(id, notification), 0);
    return;
  }
  if (needsDocument(id) && commandBuilt(id) && !document) return;
  auto viewCommand = [&](auto change) {
    change(document->view(), document->length());
    document->viewChanged();
  };
  switch (id) {
    case cmd::NewFile: return newFile();
    case cmd::OpenFile: return openFileDialog();
    case cmd::CloseFile: closeDocument(document); return;
    case cmd::SaveFile: saveDocument(document); return;
    case cmd::SaveFileAs: saveDocumentAsDialog(document); return;
    case cmd::EditTags: return editTags(document);
    case cmd::Send: return sendDocument(document);
    case cmd::Options: return showOptions();
    case cmd::Exit: return exitProgram();
    case cmd::CloseAll: closeAll(); return;

    case cmd::SelectAll: return viewCommand(selectAll);
    case cmd::SelectToStart: return viewCommand(selectToStart);
    case cmd::SelectToEnd: return viewCommand(selectToEnd);
    case cmd::SelectSpecifiedTime: return selectSpecifiedTime(document);
    case cmd::GrabNoiseSample: return grabNoiseSample(document);
    case cmd::MarkFirst: return viewCommand(markFirst);
    case cmd::MarkSecond: return viewCommand(markSecond);
    case cmd::RecallMarks: return viewCommand(recallMarks);
    case cmd::GoToStart:
    case cmd::GoToEnd:
    case cmd::StartButton:
    case cmd::EndButton:
      if (id == cmd::GoToStart || id == cmd::StartButton)
        m_playback->goToStart(document);
      else
        m_playback->goToEnd(document);
      // With Shift held the cursor drags the selection from the anchor.
      if (m_follow) viewCommand([&](ViewState& view, int32_t length) { setSelection(view, m_anchor, view.cursor, length); });
      return;
    case cmd::Play: case cmd::PlaySlow: case cmd::PlayNormal: case cmd::PlayFast: case cmd::Stop:
    case cmd::Rewind: case cmd::FastForward: case cmd::PlayButton: case cmd::PauseButton: case cmd::StopButton:
    case cmd::RewindButton: case cmd::ForwardButton:
      return onTransportCommand(id, notification, document);
    case cmd::Record: case cmd::RecordButton:
      return record(document);
    case cmd::LoadCdTracks:
      return loadCdTracks();
    case cmd::TextToSpeech:
      return textToSpeech(document);
    case cmd::LoopPlay:
      m_settings.setPlayRepeat(!m_settings.playRepeat());
      updateCommands();
      return;
    case cmd::ZoomIn: return viewCommand(zoomIn);
    case cmd::ZoomOut: return viewCommand(zoomOut);
    case cmd::ZoomToSelection: return viewCommand(zoomToSelection);
    case cmd::ZoomFull: return viewCommand(zoomFull);
    case cmd::VerticalZoom:
      return viewCommand([](ViewState& view, int32_t) { view.verticalZoom = !view.verticalZoom; });
    case cmd::DisplayPlusMinus: return viewCommand([](ViewState& view, int32_t) { view.displayMode = 0; });
    case cmd::DisplayLeftRight: return viewCommand([](ViewState& view, int32_t) { view.displayMode = 1; });
    case cmd::DisplayDual: return viewCommand([](ViewState& view, int32_t) { view.displayMode = 2; });

    case cmd::Cascade: SendMessageW(m_mdiClient, WM_MDICASCADE, 0, 0); return;
    case cmd::TileHorizontal: SendMessageW(m_mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); return;
    case cmd::TileVertical: SendMessageW(m_mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0); return;
    case cmd::ArrangeIcons: SendMessageW(m_mdiClient, WM_MDIICONARRANGE, 0, 0); return;

    case cmd::ShowMainToolbar: m_settings.setShowMainToolbar(!m_settings.showMainToolbar()); break;
    case cmd::ShowEffectsToolbar: m_settings.setShowEffectsToolbar(!m_settings.showEffectsToolbar()); break;
    case cmd::ShowCommandBar: m_settings.setShowCommandBar(!m_settings.showCommandBar()); break;
    case cmd::CommandBarLeft: m_settings.setShowCommandBarLeft(true); break;
    case cmd::CommandBarRight: m_settings.setShowCommandBarLeft(false); break;
    case cmd::About: showAboutPanel(m_instance, m_window, 0); return;
    case cmd::HelpContents: openHelpContents(m_instance, m_window, m_dataFolder); return;
    case cmd::OpenProject: return openProjectDialog();
    case cmd::CloseProject: closeProject(); return;
    case cmd::SaveProject: saveProject(); return;
    case cmd::SaveProjectAs: saveProjectAs(); return;
    case cmd::SetBookmark: return setBookmark(document);
    case cmd::BookmarkList: return showBookmarkList();
    case cmd::AddRegion: return addRegion(document);
    case cmd::RegionList: return showRegionList();
    case cmd::AssembleRegions: return assembleRegionsToNewFile();
    case cmd::Fft: return showFrequencyAnalysis(document);
    case cmd::Tfft: return showTemporalAnalysis(document);
    case cmd::BurnAudioCd: return copyOpenFilesToCd(true);
    case cmd::BurnDataCd: return copyOpenFilesToCd(false);
    case cmd::ToneGenerator: return runToneGenerator();
    case cmd::CheckForUpdate: return checkForUpdate();
    case cmd::BatchConverter: return openBatchConverter(*this);
    default:
      if (!commandBuilt(id)) return;
      if (findEffectDescriptor(id)) return onEffectCommand(id, document);
      if (id == cmd::DirectX || id == cmd::Vst) return onPluginCommand(id, document);
      if (id >= cmd::Undo && id <= cmd::AutoSplit) return onEditCommand(id, document);
      return;  // commands of features this build does not have
  }
  layout();
  updateCommands();
}

void Frame::updateCommands() {
  HMENU menu = GetMenu(m_window);
  if (!menu) return;
  bool haveDocument = activeDocument() != nullptr;
  std::vector<int> ids;
  allMenuCommands(menu, ids);
  for (int id : ids) {
    if (id >= cmd::WindowFirst && id <= cmd::WindowLast) continue;
    bool enabled = commandBuilt(id) && (!needsDocument(id) || haveDocument);
    if (id == cmd::SaveFile && haveDocument) enabled = activeDocument()->modified() || activeDocument()->tagsModified() || !activeDocument()->hasName();
    if (id == cmd::Undo && haveDocument) enabled = activeDocument()->undoRing().canUndo();
    if (id == cmd::Redo && haveDocument) enabled = activeDocument()->undoRing().canRedo();
    if ((id == cmd::Paste || id == cmd::PasteMix) && m_clipboard.empty()) enabled = false;
    if (id == cmd::CloseProject) enabled = projectOpen();
    if (id == cmd::AssembleRegions) enabled = !m_regions.empty();
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (m_controls) m_controls->enableButton(id, enabled);
  }
  {
    DocumentWindow* document = activeDocument();
    std::string undoText = document ? document->undoRing().undoMenuText() : UndoRing().undoMenuText();
    std::string redoText = document ? document->undoRing().redoMenuText() : UndoRing().redoMenuText();
    UINT undoState = MF_BYCOMMAND | MF_STRING | ((document && document->undoRing().canUndo()) ? 0 : MF_GRAYED);
    UINT redoState = MF_BYCOMMAND | MF_STRING | ((document && document->undoRing().canRedo()) ? 0 : MF_GRAYED);
    ModifyMenuW(menu, cmd::Undo, undoState, cmd::Undo, ui::widen(undoText).c_str());
    ModifyMenuW(menu, cmd::Redo, redoState, cmd::Redo, ui::widen(redoText).c_str());
  }
  CheckMenuItem(menu, cmd::ShowMainToolbar, MF_BYCOMMAND | (m_settings.showMainToolbar() ? MF_CHECKED : 0));
  CheckMenuItem(menu, cmd::ShowEffectsToolbar, MF_BYCOMMAND | (m_settings.showEffectsToolbar() ? MF_CHECKED : 0));
  CheckMenuItem(menu, cmd::ShowCommandBar, MF_BYCOMMAND | (m_settings.showCommandBar() ? MF_CHECKED : 0));
  CheckMenuRadioItem(menu, cmd::CommandBarLeft, cmd::CommandBarRight,
                     m_settings.showCommandBarLeft() ? cmd::CommandBarLeft : cmd::CommandBarRight, MF_BYCOMMAND);
  CheckMenuRadioItem(menu, cmd::PlaySlow, cmd::PlayFast, cmd::PlaySlow + std::clamp(m_settings.playSpeed(), 0, 2),
                     MF_BYCOMMAND);
  CheckMenuItem(menu, cmd::LoopPlay, MF_BYCOMMAND | (m_settings.playRepeat() ? MF_CHECKED : 0));
  if (DocumentWindow* document = activeDocument()) {
    const ViewState& view = document->view();
    CheckMenuItem(menu, cmd::VerticalZoom, MF_BYCOMMAND | (view.verticalZoom ? MF_CHECKED : 0));
    CheckMenuRadioItem(menu, cmd::DisplayPlusMinus, cmd::DisplayLeftRight,
                       view.displayMode == 1 ? cmd::DisplayLeftRight : cmd::DisplayPlusMinus, MF_BYCOMMAND);
    CheckMenuItem(menu, cmd::DisplayDual, MF_BYCOMMAND | (view.displayMode == 2 ? MF_CHECKED : 0));
    if (view.displayMode == 2) CheckMenuItem(menu, cmd::DisplayPlusMinus, MF_BYCOMMAND | MF_UNCHECKED);
  }
  DrawMenuBar(m_window);
}

void Frame::viewChanged(DocumentWindow* document) {
  if (!m_controls) return;
  if (document && document != activeDocument()) return;
  if (!document) {
    std::string zero = formatTimeHundredths(0);
    m_controls->setTimes(zero, zero, zero, zero, zero);
    m_controls->setStatus(1, "");
    m_controls->setStatus(2, "");
    return;
  }
  const ViewState& view = document->view();
  int32_t rate = std::max(view.sampleRate, 1);
  auto text = [&](int64_t frames) { return formatTimeHundredths(framesToMs(frames, rate)); };
  m_controls->setTimes(text(view.cursor), text(view.selectionStart), text(view.selectionEnd),
                       text(static_cast<int64_t>(view.selectionEnd) - view.selectionStart), text(document->length()));
  int64_t free = sys::freeDiskSpace(blockFolder());
  m_controls->setStatus(1, free < 0 ? "" : ui::formatText("Free Space: %5.2f MB", free / 1048576.0));
  m_controls->setStatus(2, ui::formatText("Sample Rate: %d   %s", view.sampleRate,
                                          view.channels == 2 ? "Stereo" : "Mono"));
}

void Frame::onTransportCommand(int id, int notification, DocumentWindow* document) {
  switch (id) {
    case cmd::Stop:
    case cmd::StopButton:
      m_playback->stop();
      return;
    case cmd::PlaySlow:
    case cmd::PlayNormal:
    case cmd::PlayFast:
      m_settings.setPlaySpeed(id == cmd::PlaySlow ? 0 : id == cmd::PlayNormal ? 1 : 2);
      updateCommands();
      [[fallthrough]];
    case cmd::Play:
    case cmd::PlayButton:
      m_playback->play(document);
      return;
    case cmd::PauseButton:
      m_playback->pause(document);
      return;
    case cmd::Rewind:
    case cmd::FastForward:
      m_playback->pressScan(id == cmd::Rewind ? ScanDirection::Rewind : ScanDirection::FastForward, document);
      return;
    case cmd::RewindButton:
    case cmd::ForwardButton:
      // The buttons scan while they are held down.
      if (notification == 16)
        m_playback->pressScan(id == cmd::RewindButton ? ScanDirection::Rewind : ScanDirection::FastForward, document);
      else if (notification == 17)
        m_playback->releaseScan(document);
      if (m_controls) m_controls->setVolume(m_playback->volumeDb());
      return;
  }
}
