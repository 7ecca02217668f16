#include "editor/dialogs/bookmark_list_dialog.h"

#include "core/sample.h"
#include "editor/dialogs/marks_list_dialog.h"
#include "editor/dialogs/name_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/named_list.h"
#include "editor/model/time_text.h"
#include "ui/text.h"

namespace {

enum Button { kGoTo = MarksListDialog::kFirstButton, kRename, kDelete, kDeleteAll };

class BookmarkListDialog final : public MarksListDialog {
 public:
  BookmarkListDialog(Frame& frame, DocumentWindow& document)
      : MarksListDialog("Bookmark List - " + document.name(),
                        {"&Go To Bookmark", "&Rename Bookmark", "&Delete Bookmark", "Delete &All Bookmark(s)"}),
        m_frame(frame),
        m_document(document) {}

 protected:
  bool onInit() override {
    MarksListDialog::onInit();
    refill({});
    return true;
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kGoTo: return activateSelected();
      case kRename: return renameSelected();
      case kDelete: return deleteSelected();
      case kDeleteAll:
        if (m_document.bookmarks().empty() || !confirm("Delete all selected bookmark(s)?", "Confirm Delete All")) return;
        m_document.bookmarks().clear();
        return edited({});
    }
    MarksListDialog::onCommand(id, code);
  }

  void activateSelected() override {
    int index = firstSelected();
    if (index >= 0) m_frame.goToBookmark(&m_document, m_document.bookmarks()[index]);
  }

  void renameSelected() override {
    int index = firstSelected();
    if (index < 0) return;
    if (renameEntry(m_document.bookmarks(), index, "Bookmark")) edited({index});
  }

  void deleteSelected() override {
    std::vector<int> chosen = selectedIndices();
    if (chosen.empty() || !confirm("Delete the selected bookmark(s)?", "Confirm Delete")) return;
    eraseIndices(m_document.bookmarks(), chosen);
    edited({});
  }

 private:
  void edited(const std::vector<int>& selected) {
    m_frame.bookmarksEdited(&m_document);
    refill(selected);
  }
  void refill(const std::vector<int>& selected) {
    std::vector<std::string> lines;
    int32_t rate = std::max(m_document.view().sampleRate, 1);
    for (const Bookmark& bookmark : m_document.bookmarks())
      lines.push_back(bookmark.name + "\t" + formatTimeMillis(framesToMs(bookmark.position, rate)));
    fill(lines, selected);
    for (int id : {kGoTo, kRename, kDelete, kDeleteAll}) enable(id, !lines.empty());
  }

  Frame& m_frame;
  DocumentWindow& m_document;
};

}  // namespace

void showBookmarkListDialog(Frame& frame, DocumentWindow& document) {
  BookmarkListDialog dialog(frame, document);
  dialog.runModal(frame.handle());
}
