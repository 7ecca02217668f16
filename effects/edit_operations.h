#pragma once
// The Edit menu's operations on a document's sound. Each one is span surgery
// on the SoundBuffer (no sample is copied) except the mixes, which compute
// the mixed range into a new block and splice it in.
//
// How the editor runs one:
//   1. Stop playback.
//   2. Record the undo step: UndoRing::pushUndoStep(label, state before).
//      Copies of a SoundBuffer are cheap, so the editor may equally keep a
//      copy of the state, run the operation, and push that copy only when
//      the result is Done (which also keeps refused edits out of the ring).
//   3. Run the operation. On Done take result.selection (and the cursor in
//      it) as the document's and mark it modified; on any other status the
//      document is exactly as it was.
//   4. The after-edit step: playback from max(0, cursor - leadInFrames).
//
// Selections are clamped to the sound before use. Commands marked "selects
// all if empty" treat an empty selection as the whole sound.

#include <cstdint>

#include "core/selection.h"
#include "core/sound_buffer.h"
#include "core/source_status.h"
#include "effects/clipboard.h"
#include "effects/sound_converter.h"

enum class EditStatus {
  Done,         // the edit ran; record the undo step (the sound may be unchanged, as for Trim Start at 0)
  NothingToDo,  // the command needs a selection, or a count or length that is not there; record nothing
  TooLong,      // the result would be longer than a sound may be (or, for Repeat Loop, made of too many pieces)
  Cancelled,    // the user cancelled a conversion or mix
  Failed,       // a conversion failed, or mixed audio could not be written (a full disk)
};

// The status of an edit that ran a long job with this result.
EditStatus statusOf(JobResult result);

struct EditResult {
  EditStatus status = EditStatus::Done;
  // Selection and cursor after the edit (the input selection, clamped, when
  // the status is not Done).
  Selection selection;
  // Automatic playback after the edit starts this many frames before the
  // cursor: a second for most edits, half a second for pastes, 0 for trims.
  int32_t leadInFrames = 0;
};

// Undo labels, shown as "Undo %s". Copy, Copy To New and Save Select Region
// As change nothing and record no step.
namespace editlabel {
constexpr const char* kCut = "Cut";
constexpr const char* kPaste = "Paste";
constexpr const char* kPasteMix = "Paste Mix";
constexpr const char* kDelete = "Delete";
constexpr const char* kMixFile = "Mix File";
constexpr const char* kRepeatLoop = "Repeat Loop";
constexpr const char* kTrim = "Trim";
constexpr const char* kTrimStart = "Trim Start";
constexpr const char* kTrimEnd = "Trim End";
constexpr const char* kSplit = "Split file at this point";
constexpr const char* kSilence = "Edit Silence";
}  // namespace editlabel

// Where Insert Silence and Insert File put their audio.
enum class InsertPlace { Begin, Current, End };
const char* insertSilenceLabel(InsertPlace place);  // "Insert Silence At The Start", ...
const char* insertFileLabel(InsertPlace place);     // "Insert File At Beginning", ...

// Cut (selects all if empty): the clipboard receives the range and it is
// removed; the selection becomes empty at its former start.
EditResult cut(SoundBuffer& sound, const Selection& selection, Clipboard& clipboard);
// Copy (selects all if empty): the clipboard receives the range; the result
// selects what was copied. The sound is unchanged and no step is recorded.
EditResult copy(const SoundBuffer& sound, const Selection& selection, Clipboard& clipboard);
// Copy To New: newSound receives the selected range for a new window.
// NothingToDo without a selection.
EditResult copyToNew(const SoundBuffer& sound, const Selection& selection, SoundBuffer& newSound);
// Save Select Region As: region receives the selected range (the whole
// sound when nothing is selected), ready for saveSoundFile.
EditResult extractSelection(const SoundBuffer& sound, const Selection& selection, SoundBuffer& region);

// Paste: the selection (empty: nothing, so the audio goes in at its start) is
// replaced by source, converted first when its rate or channels differ. The
// result selects the pasted audio. NothingToDo when source is empty.
EditResult paste(SoundBuffer& sound, const Selection& selection, const SoundBuffer& source,
                 SoundConverter& converter, ProgressCallback* progress = nullptr);

// What Paste Mix does when the mixed-in audio is longer than the selection
// (the "LongerSelection" value).
enum class LongerMix : int {
  InsertSilence = 0,      // make room: the audio after the selection moves later
  IncreaseSelection = 1,  // mix on over the audio after the selection
  FadeOut = 2,            // keep the selection; the mix fades out at its end
};

struct MixSettings {
  int32_t volumePercent = 100;  // "PasteMixVolume"
  // 0 (left) to 100 (right), 50 centre. On two or more channels the far
  // side is turned down linearly while the near side stays at the volume:
  // left x min(100 - pan, 50) / 50, right x min(pan, 50) / 50. Mono ignores it.
  int32_t pan = 50;
  LongerMix longer = LongerMix::InsertSilence;
  int32_t fadeOutMs = 250;  // "FadeOutTime", milliseconds
};

// Paste Mix and Mix File: source (converted to the document's format when it
// differs) is mixed into the sound from the selection start; a longer source
// is handled as settings.longer says. With an empty selection FadeOut mixes
// the whole source as IncreaseSelection does (there is nothing to fade
// inside), and InsertSilence makes room for all of it. Each output
// sample is document + ((source x (gain >> 15)) >> 9), gain 2^24 = unity,
// unclipped. Cancel or a failed write leaves the sound as it was. The result
// selects the mixed range.
EditResult pasteMix(SoundBuffer& sound, const Selection& selection, const SoundBuffer& source,
                    const MixSettings& settings, SoundConverter& converter, ProgressCallback* progress = nullptr);
// Mix File is Paste Mix with a loaded file's sound.
inline EditResult mixFile(SoundBuffer& sound, const Selection& selection, const SoundBuffer& loaded,
                          const MixSettings& settings, SoundConverter& converter,
                          ProgressCallback* progress = nullptr) {
  return pasteMix(sound, selection, loaded, settings, converter, progress);
}

// Delete: removes the selection; empty at its former start. NothingToDo
// without a selection.
EditResult deleteSelection(SoundBuffer& sound, const Selection& selection);
// Trim (selects all if empty): keeps only the selection; cursor 0, no selection.
EditResult trim(SoundBuffer& sound, const Selection& selection);
// Trim Start: removes everything before the selection start; cursor 0, the
// selection moves with its audio.
EditResult trimStart(SoundBuffer& sound, const Selection& selection);
// Trim End: removes everything after the selection end; cursor 0.
EditResult trimEnd(SoundBuffer& sound, const Selection& selection);
// Silence Select Region: the selection is replaced by silence of its length.
EditResult silenceSelection(SoundBuffer& sound, const Selection& selection);

// Split into two at this point: the sound keeps the frames before the cursor,
// secondPart (for a new window) receives the rest.
EditResult splitAtCursor(SoundBuffer& sound, const Selection& selection, SoundBuffer& secondPart);

// Insert Silence: milliseconds at the document's rate (computed in 64 bits),
// at the start, the cursor or the end. The result selects the silence.
// NothingToDo for a length under one frame, TooLong past the frame limit.
EditResult insertSilence(SoundBuffer& sound, const Selection& selection, InsertPlace place, int64_t milliseconds);
// Insert File: the loaded file's sound, converted when its format differs,
// at the start, the cursor or the end. The result selects it.
EditResult insertFile(SoundBuffer& sound, const Selection& selection, InsertPlace place, const SoundBuffer& loaded,
                      SoundConverter& converter, ProgressCallback* progress = nullptr);
// Repeat Loop (selects all if empty): the selected range then occurs
// times + 1 times in a row; the selection is cleared, the cursor at its start.
// NothingToDo for times < 1.
EditResult repeatLoop(SoundBuffer& sound, const Selection& selection, int32_t times);
