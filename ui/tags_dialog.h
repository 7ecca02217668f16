#pragma once

#include <windows.h>

#include "formats/formats.h"

// The "Edit Audio Tags" dialog, filled from the tag set. On OK every field's
// text is stored back under its tag name; true when any value changed.
bool editAudioTags(HWND owner, TagSet& tags);
