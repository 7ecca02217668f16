// Text To Speech (command 7004): a text spoken by the chosen voice into a
// WAVE file in the working folder, then put into the active file at the
// cursor or in place of the selection, as one undo step.

#include <windows.h>

#include <algorithm>

#include "core/block_store.h"
#include "core/selection.h"
#include "editor/dialogs/speech_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/editor_settings.h"
#include "editor/playback_control.h"
#include "editor/speech/speech_catalog.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

constexpr const char* kNoEngineMessage =
    "Razavo cannot find a speech engine that can speak this text with the chosen voice.\r\n\r\n"
    "Please install a speech engine for your system: free engines and voices are offered on the web "
    "site of your system's maker.";

std::string programFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".";
  return sys::folderOf(ui::narrow(std::wstring(path, length)));
}

// The engines are asked for their voices on the first use in a run only.
SpeechCatalog& speechCatalog() {
  static SpeechCatalog catalog(programFolder());
  return catalog;
}

class DialogSpeechRun : public SpeechRun {
 public:
  explicit DialogSpeechRun(ui::ProgressDialog& dialog) : m_dialog(dialog) {}
  bool keepGoing() override { return m_dialog.keepGoing(); }
  void setFraction(double done) override {
    m_dialog.setProgress(static_cast<int64_t>(std::clamp(done, 0.0, 1.0) * 1000), 1000);
  }

 private:
  ui::ProgressDialog& m_dialog;
};

}  // namespace

void Frame::textToSpeech(DocumentWindow* document) {
  m_playback->stop();
  if (!document) {
    newFile();
    document = activeDocument();
    if (!document) return;
  }
  SpeechCatalog& catalog = speechCatalog();
  SpeechRequest request;
  request.voice = rememberedSpeechVoice(m_store->readNumber(kSettingsSection, "TextToSpeechVoice", 0),
                                        catalog.counts());
  if (!runSpeechDialog(m_window, catalog.names(), request)) return;
  m_store->write(kSettingsSection, "TextToSpeechVoice", std::to_string(request.voice));

  const std::string path = sys::joinPath(sys::folderOf(blockFolder()), "Synthesized.wav");
  ui::ProgressDialog progress;
  const JobResult spoken = progress.run(m_window, "Text To Speech", "Synthesizing Voice", [&](ui::ProgressDialog& dialog) {
    dialog.setLine(2, "Please wait");
    DialogSpeechRun run(dialog);
    return catalog.speak(request.voice, speechText(request.text), path, run);
  });
  SoundBuffer speech;
  const bool loaded = spoken == JobResult::Done && loadSoundFile(path, FormatContext{}, speech) == JobResult::Done;
  sys::deleteFile(path);
  if (spoken == JobResult::Cancelled) return;
  if (!loaded) {
    ui::showMessage(m_window, kNoEngineMessage, "Razavo", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // Nothing spoken (an empty text): nothing to insert, no undo step.
  if (speech.totalFrames() == 0) return;
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()) return;
  Selection selection = document->selection();
  if (selection.empty()) selection = Selection{selection.cursor, selection.cursor, selection.cursor};
  runEdit(document, "Text To Speech", "", [&](ProgressCallback* edit) {
    EditResult result = paste(document->buffer(), selection, speech, *m_converter, edit);
    result.selection.cursor = result.selection.start;
    return result;
  });
}
