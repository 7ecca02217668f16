#pragma once
// Undo and redo: a ring of eight saved states kept by each document.
//
// Before every edit the document hands its whole editable state to
// pushUndoStep with the command's name. A saved state shares the blocks of
// the sound, so it costs one reference per span, never a copy of the audio.
//
// Slot discipline, with i the index after an edit: slots i, i-1, ... hold
// the states before the latest edits, newest first; slots i+1 and i+2 are
// free. The first undo after an edit saves the current state as "Redo" in
// slot i+1, which frees slots i+2 and i+3 and so drops the oldest state: at
// most five undos succeed in a row. Redo stays possible until the next edit,
// which frees the two slots ahead.
//
// The editor's side, per edit:    per undo / redo:
//   stop playback                   state = the document's state
//   ring.pushUndoStep(label, doc)   if (ring.undo(state)) apply state
//   document.modified = true        refresh "Undo %s" / "Redo %s"
//   run the edit
// and after each successful save: document.modified = false,
// ring.markSavedState().

#include <array>
#include <cstdint>
#include <string>

#include "core/selection.h"
#include "core/sound_buffer.h"

// Everything an undo step restores.
struct UndoState {
  SoundBuffer sound;  // shares the document's blocks
  bool modified = false;
  Selection selection;
  // Two view fields kept with the state for the waveform window (it saves
  // its visible range there); the ring only carries them.
  int32_t visibleStart = 0;
  int32_t visibleEnd = 0;
};

class UndoRing {
 public:
  static constexpr uint32_t kSlotCount = 8;
  static constexpr size_t kMaxLabelLength = 259;

  // Records state, the document as it is before an edit, under the command's
  // label (cut to 259 characters; an empty label becomes "Edit", because an
  // empty label marks a free slot). Discards whatever redo was possible.
  void pushUndoStep(const std::string& label, const UndoState& state);

  bool canUndo() const;
  bool canRedo() const;
  // The label of the step that undo or redo would reverse; empty when it is
  // not available.
  std::string undoLabel() const;
  std::string redoLabel() const;
  // The Edit menu's items: "Undo Cut\tCtrl+Z", or "Undo \tCtrl+Z" (shown
  // disabled) when nothing can be undone; the same for "Redo %s\tCtrl+Y".
  std::string undoMenuText() const;
  std::string redoMenuText() const;

  // Each takes the document's current state and replaces it with the saved
  // one. False, with document untouched, when not available.
  bool undo(UndoState& document);
  bool redo(UndoState& document);

  // Call after every successful save. Every saved state except the one that
  // is the document's current state (present after an undo or redo) differs
  // from the file now on disk, so each is marked modified: undoing past a
  // save then shows the document as modified and closing asks to save. The
  // state that is the current one is marked unmodified.
  void markSavedState();

  // Frees every slot (releasing their blocks) and starts again at index 0.
  void clear();

  uint32_t index() const { return m_index; }
  const std::string& slotLabel(uint32_t slot) const { return m_slots[slot % kSlotCount].label; }
  const UndoState& slotState(uint32_t slot) const { return m_slots[slot % kSlotCount].state; }

 private:
  struct Slot {
    UndoState state;
    std::string label;  // empty: a free slot
    bool isFree() const { return label.empty(); }
    void release() {
      state = UndoState{};
      label.clear();
    }
  };

  static uint32_t wrap(uint32_t index) { return index % kSlotCount; }
  Slot& at(uint32_t offset) { return m_slots[wrap(m_index + offset)]; }
  const Slot& at(uint32_t offset) const { return m_slots[wrap(m_index + offset)]; }
  void stepBack() { m_index = wrap(m_index + kSlotCount - 1); }

  uint32_t m_index = 0;
  std::array<Slot, kSlotCount> m_slots;
};
