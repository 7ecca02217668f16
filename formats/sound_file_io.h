#pragma once
// Loading a sound file into a buffer and saving a buffer to a file: the two
// long operations every program runs under its progress dialog.

#include <string>

#include "core/sound_buffer.h"
#include "formats/formats.h"

// Reads the whole source into target through a block writer. On failure or
// cancel the target keeps its old content.
JobResult loadSourceIntoBuffer(SampleSource& source, SoundBuffer& target, ProgressCallback* progress = nullptr);

// Opens path (with the dispatcher's messages) and loads it. Returns Done,
// Cancelled (the user cancelled a dialog or the progress) or Failed. A file
// loaded past damage is Done, and the user is warned that parts are missing.
JobResult loadSoundFile(const std::string& path, const FormatContext& context, SoundBuffer& target,
                        ProgressCallback* progress = nullptr);

// The warning for a file that opened with parts that could not be decoded.
std::string damagedFileMessage(const std::string& path);

// Writes the whole buffer to a sink chosen by the path's extension. Failed
// when the sink could not be made or any write failed; the caller reports it
// and keeps the document marked modified.
// The sound goes to a new file beside the target, which replaces the target
// in one step only once it is complete and checked (and finished by the
// context's finishAudioFile); on failure or cancel that file is deleted and
// the target is left as it was.
JobResult saveSoundFile(const SoundBuffer& buffer, const std::string& path, const FormatContext& context,
                        ProgressCallback* progress = nullptr);
// The same with the request's overrides; its outputPath is not used.
JobResult saveSoundFile(const SoundBuffer& buffer, const SinkRequest& request, const FormatContext& context,
                        ProgressCallback* progress = nullptr);
