#pragma once
// The pictures of the editor's buttons: the transport buttons (with the lit
// Play and Stop that show whether the player runs) and the effects toolbar.
// They are drawn when the frame starts rather than shipped as bitmap files,
// on the button face colour, which the toolbars use as their mask.

#include <windows.h>

#include "ui/gdi_objects.h"

namespace pictures {

enum class TransportPicture { Play, PlayActive, Pause, Stop, StopActive, Start, Rewind, Forward, End, Record };

constexpr int kTransportWidth = 22, kTransportHeight = 16;
constexpr int kEffectSize = 16;

// A new bitmap.
ui::Bitmap drawTransportPicture(TransportPicture picture);
// The effects toolbar's picture of a command, a new bitmap; an empty one
// for a command that has none.
ui::Bitmap drawEffectPicture(int command);

}  // namespace pictures
