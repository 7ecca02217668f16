// Loading audio CD tracks: the dialog rips, the frame opens each track.
#include "editor/dialogs/cd_load_dialog.h"
#include "editor/frame.h"

void Frame::loadCdTracks() { runCdLoadDialog(m_window, *m_store); }

void Frame::openCdTrack(SoundBuffer& sound) { openNewWindow(std::move(sound), true); }
