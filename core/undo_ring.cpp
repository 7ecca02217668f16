#include "core/undo_ring.h"

void UndoRing::pushUndoStep(const std::string& label, const UndoState& state) {
  m_index = wrap(m_index + 1);
  Slot& slot = at(0);
  slot.state = state;
  slot.label = label.empty() ? std::string("Edit") : label.substr(0, kMaxLabelLength);
  at(1).release();
  at(2).release();
}

bool UndoRing::canUndo() const { return !at(0).isFree(); }

bool UndoRing::canRedo() const { return !at(2).isFree(); }

std::string UndoRing::undoLabel() const { return at(0).label; }

std::string UndoRing::redoLabel() const { return canRedo() ? at(1).label : std::string(); }

std::string UndoRing::undoMenuText() const { return "Undo " + undoLabel() + "\tCtrl+Z"; }

std::string UndoRing::redoMenuText() const { return "Redo " + redoLabel() + "\tCtrl+Y"; }

bool UndoRing::undo(UndoState& document) {
  if (!canUndo()) return false;
  if (at(1).isFree()) {
    // First undo since the last edit: keep the present state so that redo
    // can come back to it.
    pushUndoStep("Redo", document);
    stepBack();
  }
  document = at(0).state;
  stepBack();
  return true;
}

bool UndoRing::redo(UndoState& document) {
  if (!canRedo()) return false;
  document = at(2).state;
  m_index = wrap(m_index + 1);
  return true;
}

void UndoRing::markSavedState() {
  // After an undo or redo the document's state is the one in slot i+1.
  for (uint32_t offset = 0; offset < kSlotCount; ++offset) {
    Slot& slot = at(offset);
    if (!slot.isFree()) slot.state.modified = offset != 1;
  }
}

void UndoRing::clear() {
  for (Slot& slot : m_slots) slot.release();
  m_index = 0;
}
