// Tags of the frame's documents: read after a file opens, written after it
// is saved, and edited with the "Edit Audio Tags" dialog.

#include <windows.h>

#include <algorithm>

#include "ui/tags_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "ui/text.h"

namespace {

void reportTagsNotWritten(HWND owner, const std::string& path) {
  ui::showMessage(owner,
                  "Cannot write the tags into the file \"" + path +
                      "\". The file was left as it was; check that no other program has it open and that the "
                      "disk has space.",
                  "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

void Frame::editTags(DocumentWindow* document) {
  if (!document->hasName() || !canCarryTags(document->path())) {
    ui::showMessage(m_window, "Only wav and mp3 files can have tags edited.", "Razavo", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!editAudioTags(m_window, document->tags().values)) return;
  document->setTagsModified(true);
  updateCommands();
}

void Frame::readTagsAfterOpen(DocumentWindow* document) {
  // Files without tags, or of types that have none, leave the set empty.
  readFileTags(document->path(), document->tags());
}

bool Frame::writeTagsAfterSave(DocumentWindow* document, const std::string& path) {
  if (!canCarryTags(path)) {
    document->setTagsModified(false);
    return true;
  }
  const FileTags& tags = document->tags();
  // A file saved anew carries no tags: nothing to write when there are none.
  if (!carriesAnyTag(tags) && !document->tagsModified()) return true;
  const bool written = writeFileTags(path, tags);
  document->setTagsModified(!written);
  if (!written) reportTagsNotWritten(m_window, path);
  return written;
}

bool Frame::saveTagsOnly(DocumentWindow* document) {
  if (!writeTagsAfterSave(document, document->path())) return false;
  updateCommands();
  return true;
}
