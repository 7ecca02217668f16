#pragma once
// Work on the frame's regions that has no window: making one from a
// selection, names that can be file names, and joining them into one sound.

#include <string>
#include <vector>

#include "core/selection.h"
#include "editor/model/project_file.h"
#include "effects/sound_converter.h"

// A region of the selection's audio (sharing the document's blocks); false
// when the selection is empty.
bool makeRegion(const SoundBuffer& sound, const Selection& selection, const std::string& name,
                const std::string& sourceName, Region& region);

// True when name can be a file's name as it is: not empty, no control
// character, none of \ / : * ? " < > |, not ending in a dot or blank.
bool validFileName(const std::string& name);

// The regions in list order as one sound at the first region's rate and
// channels (the others converted first). Done, Cancelled or Failed (also
// for no regions, or a sound longer than a sound may be); out changes only
// on Done.
JobResult assembleRegions(const std::vector<Region>& regions, SoundConverter& converter, ProgressCallback* progress,
                          SoundBuffer& out);
