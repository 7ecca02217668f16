#pragma once
// The player's volume in dB and the device's volume (0 ... 65535 a channel).
// One dB is 1,424 device steps above the floor of -36 dB, so +10 dB is
// full volume; anything below -35 dB is silence.

#include <cstdint>

constexpr int kVolumeStepsPerDb = 1424;
constexpr int kVolumeFloorDb = -36;

// dB = v / 1424 - 36, kept to -127 ... 127.
int8_t dbFromDeviceVolume(uint16_t volume);
// 0 below -35 dB, else (dB + 36) * 1424, at most 65535.
uint16_t deviceVolumeFromDb(int db);
// The volume after lowering by delta dB (negative raises), kept to -127 ... 127.
int8_t volumeLoweredBy(int currentDb, int delta);
