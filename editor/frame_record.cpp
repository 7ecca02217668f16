// Record (command 3001): the record dialog, then the recording goes into the
// active file in place of the selection, or at the cursor, as one undo step.

#include <algorithm>

#include "core/selection.h"
#include "editor/dialogs/record_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/playback_control.h"

void Frame::record(DocumentWindow* document) {
  m_playback->stop();
  if (!document) {
    // With no file open the recording goes into a new one.
    newFile();
    document = activeDocument();
    if (!document) return;
  }
  RecordRequest request{document->name(), document->buffer().sampleRate(), document->buffer().channels()};
  SoundBuffer recording;
  if (!runRecordDialog(m_window, *m_store, request, recording)) return;
  // The dialog may have outlived the window (closed by a hand-over, say).
  if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()) return;
  Selection selection = document->selection();
  if (selection.empty()) selection = Selection{selection.cursor, selection.cursor, selection.cursor};
  runEdit(document, "Record", "", [&](ProgressCallback* progress) {
    EditResult result = paste(document->buffer(), selection, recording, *m_converter, progress);
    result.selection.cursor = result.selection.start;
    return result;
  });
}
