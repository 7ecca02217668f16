#include "editor/model/record_settings.h"

#include <gtest/gtest.h>

TEST(RecordSettings, DefaultsWaitForSoundAtMinus24AndNeverCloseTheGate) {
  auto store = sys::makeMemorySettingsStore();
  RecordSettings s = RecordSettings::load(*store);
  EXPECT_EQ(s.device, 0);
  EXPECT_TRUE(s.autostart);
  EXPECT_TRUE(s.autotrim);
  EXPECT_FALSE(s.vor);
  EXPECT_EQ(s.triggerLevel(), -24);
  EXPECT_EQ(s.hangTimeMs(), 216000000);
}

TEST(RecordSettings, SwitchesSetTheCaptureAndRoundTripThroughTheStore) {
  auto store = sys::makeMemorySettingsStore();
  store->write("Recorder", "Autotrim", "0");
  store->write("Recorder", "Vor", "1");
  store->write("Recorder", "Threshold", "-31");
  store->write("Recorder", "Device", "");  // empty reads as the default
  RecordSettings s = RecordSettings::load(*store);
  EXPECT_EQ(s.triggerLevel(), -127) << "without trimming every block is written";
  EXPECT_EQ(s.hangTimeMs(), 5000);
  EXPECT_EQ(s.device, 0);
  s.autotrim = true;
  EXPECT_EQ(s.triggerLevel(), -31);
  s.device = 2;
  s.channel = 1;
  s.volume = -7;
  s.playerVolumeDb = -3;
  s.save(*store);
  EXPECT_EQ(store->read("Recorder", "Autotrim", ""), "1");
  EXPECT_EQ(store->read("Player", "VolumeDB", ""), "-3");
  RecordSettings again = RecordSettings::load(*store);
  EXPECT_EQ(again.device, 2);
  EXPECT_EQ(again.channel, 1);
  EXPECT_EQ(again.volume, -7);
  EXPECT_EQ(again.threshold, -31);
  EXPECT_TRUE(again.vor);
}
