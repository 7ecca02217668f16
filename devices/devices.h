#pragma once
// Audio devices: the playback engine over a wave-output device.
//
// The editor's side, in short:
//   - Make one WavePlayer with the system's device and a way to the main
//     thread:  ui::NotifierWindow notifier([&] { player.onNotify(); });
//              WavePlayer player(makeSystemWaveOutDevice, [&] { notifier.post(); });
//     (create the notifier first, destroy the player first).
//   - player.set_listener(&frameListener, context): started / stopped / held /
//     position (ms; player.position() in frames) / levels (LevelRecord, for
//     the level meter).
//   - Transport transport(player, speedSourceMaker): play, pause, stop,
//     goToStart, goToEnd, pressScan / releaseScan with a PlayDocument (the
//     active window's buffer, cursor and selection) and PlaySettings (the
//     "Settings" values). A false result from play or pause means no device
//     opened: show kNoPlayerDeviceMessage with kNoPlayerDeviceCaption and the
//     information icon.
//   - Volume control: player.volume() / player.set_volume(dB); read it again
//     after pressScan and releaseScan ("ReduceVolWhenRewind").
//   - Options device list: makeSystemWaveOutDevice()->deviceNames(); index i
//     is the value of "SoundOutDevice".

#include "devices/loop_source.h"
#include "devices/peak_limit_source.h"
#include "devices/player_blocks.h"
#include "devices/player_listener.h"
#include "devices/player_volume.h"
#include "devices/range_source.h"
#include "devices/resample_speed_source.h"
#include "devices/scan_source.h"
#include "devices/transport.h"
#include "devices/wave_out_device.h"
#include "devices/wave_player.h"
