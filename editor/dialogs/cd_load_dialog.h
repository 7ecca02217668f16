#pragma once
// "Load Audio CD Track(s)": picks a drive (a CD-ROM drive or a disc image),
// lists its tracks with their CDDB names, and rips the selected ones. Each
// ripped track is sent to owner as kOpenCdTrackMessage with a pointer to
// its SoundBuffer in lParam; the receiver takes the sound out of it.

#include <windows.h>

#include "sys/settings_store.h"

constexpr UINT kOpenCdTrackMessage = WM_USER + 0x30;

void runCdLoadDialog(HWND owner, sys::SettingsStore& store);
