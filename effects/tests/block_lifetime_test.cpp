// The blocks of a document's sound stay while anything refers to them (the
// document, the clipboard, an undo slot) and go with the last reference.

#include <gtest/gtest.h>

#include "core/block_store.h"
#include "core/undo_ring.h"
#include "effects/edit_operations.h"
#include "effects/tests/edit_test_support.h"
#include "sys/folders.h"

namespace {

using edittest::ramp;
using edittest::samplesOf;
using edittest::soundFrom;

bool blockFilesExist(BlockNumber block) {
  return sys::fileExists(blockSamplePath(block)) && sys::fileExists(blockPeakPath(block));
}
bool blockFilesGone(BlockNumber block) {
  return !sys::fileExists(blockSamplePath(block)) && !sys::fileExists(blockPeakPath(block));
}

TEST(BlockLifetime, ACutSoundLivesInTheClipboardAndTheUndoSlotUntilBothLetGo) {
  UndoState document;
  document.sound = soundFrom(ramp(1000), 1, 8000);
  const BlockNumber block = document.sound.spans()[0].block();
  const std::vector<Sample> original = samplesOf(document.sound);
  UndoRing ring;
  Clipboard clipboard;

  ring.pushUndoStep(editlabel::kCut, document);
  ASSERT_EQ(cut(document.sound, {}, clipboard).status, EditStatus::Done);
  EXPECT_EQ(document.sound.totalFrames(), 0);
  EXPECT_EQ(blockRefCount(block), 2);  // the clipboard and the undo slot

  clipboard.clear();
  EXPECT_EQ(blockRefCount(block), 1);
  EXPECT_TRUE(blockFilesExist(block));

  ASSERT_TRUE(ring.undo(document));
  EXPECT_EQ(samplesOf(document.sound), original);

  // Closing: the document and its ring go.
  document = UndoState{};
  ring.clear();
  EXPECT_EQ(blockRefCount(block), 0);
  EXPECT_TRUE(blockFilesGone(block));
}

TEST(BlockLifetime, AStateDroppedFromTheRingReleasesItsBlocks) {
  // Each edit replaces the whole sound with a new block; the first sound is
  // kept only by the first undo slot, which the seventh edit frees.
  UndoState document;
  document.sound = soundFrom(ramp(100), 1, 8000);
  const BlockNumber first = document.sound.spans()[0].block();
  UndoRing ring;
  for (int edit = 1; edit <= 7; ++edit) {
    ring.pushUndoStep("Edit", document);
    // Checked before the next sound is written, which may reuse the number.
    EXPECT_EQ(blockFilesGone(first), edit == 7) << edit;
    document.sound = soundFrom(ramp(100, 1, edit * 1000), 1, 8000);
  }
}

}  // namespace
