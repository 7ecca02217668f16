#include "core/undo_ring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A document whose sound is n silent frames after the n-th edit, so each
// state is told apart by its length.
struct Document {
  UndoState state;
  UndoRing ring;

  void edit(const std::string& label) {
    ring.pushUndoStep(label, state);
    state.modified = true;
    state.sound.insertSilence(0, 1);
    state.selection.cursor = length();
  }
  int32_t length() const { return state.sound.totalFrames(); }
};

std::string label(int edit) {
  std::string text = "E";
  text += std::to_string(edit);
  return text;
}

TEST(UndoRing, FiveUndosSucceedAfterSevenEditsAndRedoWalksBack) {
  Document doc;
  EXPECT_EQ(doc.ring.undoMenuText(), "Undo \tCtrl+Z");
  for (int e = 1; e <= 7; ++e) doc.edit(label(e));
  for (int undo = 1; undo <= 5; ++undo) {
    EXPECT_EQ(doc.ring.undoLabel(), label(8 - undo));
    ASSERT_TRUE(doc.ring.undo(doc.state)) << undo;
  }
  EXPECT_EQ(doc.length(), 2);  // just before E3
  EXPECT_FALSE(doc.ring.undo(doc.state));
  EXPECT_EQ(doc.length(), 2);

  for (int redo = 1; redo <= 5; ++redo) {
    EXPECT_EQ(doc.ring.redoMenuText(), "Redo " + label(2 + redo) + "\tCtrl+Y");
    ASSERT_TRUE(doc.ring.redo(doc.state)) << redo;
    EXPECT_EQ(doc.state.selection.cursor, 2 + redo);
  }
  EXPECT_EQ(doc.length(), 7);
  EXPECT_FALSE(doc.ring.canRedo());
  EXPECT_EQ(doc.ring.redoMenuText(), "Redo \tCtrl+Y");
}

TEST(UndoRing, RedoLastsUntilTheNextEdit) {
  Document doc;
  doc.edit("Cut");
  ASSERT_TRUE(doc.ring.undo(doc.state));
  // The state after the cut was kept as "Redo" in the slot ahead.
  EXPECT_EQ(doc.ring.index(), 0u);
  EXPECT_EQ(doc.ring.slotLabel(2), "Redo");
  EXPECT_EQ(doc.ring.redoLabel(), "Cut");
  ASSERT_TRUE(doc.ring.redo(doc.state));
  EXPECT_EQ(doc.length(), 1);
  ASSERT_TRUE(doc.ring.undo(doc.state));  // reuses the kept state
  ASSERT_TRUE(doc.ring.redo(doc.state));
  EXPECT_EQ(doc.length(), 1);

  doc.edit("Paste");
  ASSERT_TRUE(doc.ring.undo(doc.state));
  doc.edit("Delete");
  EXPECT_FALSE(doc.ring.canRedo());
  EXPECT_EQ(doc.ring.undoLabel(), "Delete");
  ASSERT_TRUE(doc.ring.undo(doc.state));
  ASSERT_TRUE(doc.ring.undo(doc.state));
  EXPECT_EQ(doc.length(), 0);
}

TEST(UndoRing, OnlyTheSavedStateIsUnmodifiedAfterASave) {
  // Open, edit, save, undo: the old sound differs from the file on disk.
  Document doc;
  doc.edit("Amplify");
  doc.state.modified = false;
  doc.ring.markSavedState();
  ASSERT_TRUE(doc.ring.undo(doc.state));
  EXPECT_TRUE(doc.state.modified);
  ASSERT_TRUE(doc.ring.redo(doc.state));
  EXPECT_FALSE(doc.state.modified);

  // Saved after an undo: the state undo led to is the saved one.
  Document back;
  back.edit("Cut");
  back.edit("Paste");
  ASSERT_TRUE(back.ring.undo(back.state));
  back.state.modified = false;
  back.ring.markSavedState();
  ASSERT_TRUE(back.ring.redo(back.state));
  EXPECT_TRUE(back.state.modified);
  ASSERT_TRUE(back.ring.undo(back.state));
  EXPECT_FALSE(back.state.modified);
  ASSERT_TRUE(back.ring.undo(back.state));
  EXPECT_TRUE(back.state.modified);
  EXPECT_EQ(back.length(), 0);
}

}  // namespace
