#include "devices/player_volume.h"

#include "core/sample.h"

int8_t dbFromDeviceVolume(uint16_t volume) {
  return static_cast<int8_t>(clampTo(volume / kVolumeStepsPerDb + kVolumeFloorDb, -127, 127));
}

uint16_t deviceVolumeFromDb(int db) {
  if (db < kVolumeFloorDb + 1) return 0;
  return static_cast<uint16_t>(clampTo(static_cast<int64_t>(db - kVolumeFloorDb) * kVolumeStepsPerDb, 0, 65535));
}

int8_t volumeLoweredBy(int currentDb, int delta) {
  return static_cast<int8_t>(clampTo(static_cast<int64_t>(currentDb) - delta, -127, 127));
}
