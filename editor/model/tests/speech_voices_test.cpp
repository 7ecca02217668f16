#include "editor/model/speech_voices.h"

#include <gtest/gtest.h>

TEST(SpeechVoices, ListIndexFindsItsFamilyAndIndexThere) {
  const SpeechVoiceCounts counts{2, 3, 1};
  // Two older modes, three newer voices: the fourth entry is the second voice.
  auto voice = speechVoiceAt(counts, 3);
  ASSERT_TRUE(voice);
  EXPECT_EQ(voice->family, SpeechFamilyKind::SystemVoices);
  EXPECT_EQ(voice->index, 1);
  voice = speechVoiceAt(counts, 1);
  ASSERT_TRUE(voice);
  EXPECT_EQ(voice->family, SpeechFamilyKind::SystemModes);
  EXPECT_EQ(voice->index, 1);
  voice = speechVoiceAt(counts, 5);
  ASSERT_TRUE(voice);
  EXPECT_EQ(voice->family, SpeechFamilyKind::OwnEngine);
  EXPECT_EQ(voice->index, 0);
  EXPECT_FALSE(speechVoiceAt(counts, 6));
  EXPECT_FALSE(speechVoiceAt(counts, -1));
  // Without the system's engines the list is the own engine's alone.
  voice = speechVoiceAt(SpeechVoiceCounts{0, 0, 1}, 0);
  ASSERT_TRUE(voice);
  EXPECT_EQ(voice->family, SpeechFamilyKind::OwnEngine);
  EXPECT_FALSE(speechVoiceAt(SpeechVoiceCounts{}, 0));
}

TEST(SpeechVoices, RememberedChoiceFallsBackToTheFirstEntry) {
  const SpeechVoiceCounts counts{0, 2, 1};
  EXPECT_EQ(rememberedSpeechVoice(2, counts), 2);
  EXPECT_EQ(rememberedSpeechVoice(3, counts), 0);
  EXPECT_EQ(rememberedSpeechVoice(-4, counts), 0);
  EXPECT_EQ(rememberedSpeechVoice(1LL << 40, counts), 0);
}

TEST(SpeechVoices, TypedTextLosesCarriageReturnsAndTrailingLineEnds) {
  EXPECT_EQ(speechText("Hello\r\nworld\r\n\r\n"), "Hello\nworld");
  EXPECT_EQ(speechText(""), "");
  EXPECT_EQ(speechText("\r\n"), "");
  EXPECT_EQ(speechText("caf\xc3\xa9"), "caf\xc3\xa9");
}
