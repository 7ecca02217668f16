#include <gtest/gtest.h>

#include <string>

#include "editor/command_ids.h"
#include "editor/model/effect_forms.h"
#include "effects/delay_filter_effects.h"

namespace {

const EffectForm& formOf(int command) {
  const EffectForm* form = findEffectForm(command);
  if (!form) ADD_FAILURE() << "no form for " << command;
  static const EffectForm kNone{};
  return form ? *form : kNone;
}

FieldValues valuesOf(std::initializer_list<std::optional<int32_t>> list) {
  FieldValues values{};
  size_t i = 0;
  for (const auto& value : list) values[i++] = value;
  return values;
}

const char* messageOf(int command, std::initializer_list<std::optional<int32_t>> list) {
  return checkEffectForm(formOf(command), valuesOf(list)).message;
}

TEST(EffectForms, ChecksRunInOrderAndNameTheFirstFailingField) {
  EXPECT_EQ(messageOf(cmd::Echo, {3000, 99}), nullptr);
  EXPECT_STREQ(messageOf(cmd::Echo, {3001, 50}), "Echo time must be between 10 and 3000ms. Please try again.");
  EXPECT_STREQ(messageOf(cmd::Echo, {9, 50}), "Echo time must be between 10 and 3000ms. Please try again.");
  EXPECT_STREQ(messageOf(cmd::Echo, {10, 100}), "Echo Gain must be less than 100%. Please try again.");
  // Both wrong: the time is reported, and its field is the one to correct.
  const EffectFormCheck both = checkEffectForm(formOf(cmd::Echo), valuesOf({5000, 500}));
  EXPECT_EQ(both.field, 0);
  EXPECT_STREQ(messageOf(cmd::Reverb, {101, 50}), "Reverb level must be less than 100. Please try again.");
  EXPECT_STREQ(messageOf(cmd::Reverb, {100, 49}), "Reverb time must be between 50 and 1000. Please try again.");
  EXPECT_EQ(messageOf(cmd::Reverb, {0, 1000}), nullptr);
  EXPECT_STREQ(messageOf(cmd::Chorus, {9, 500, 5, 70}), "Delay Time must be between 10 and 100 milliseconds");
  EXPECT_STREQ(messageOf(cmd::Chorus, {40, 2001, 5, 70}), "Modulation (of delay) must be between 0 and 2Hz.");
  EXPECT_STREQ(messageOf(cmd::Chorus, {40, 500, 31, 70}), "Depth percent must be between 0 and 30.");
  EXPECT_STREQ(messageOf(cmd::Flanger, {11, 500, 50, 75}), "Delay Time must be between 0 and 10 milliseconds");
  EXPECT_STREQ(messageOf(cmd::Flanger, {5, 500, 50, 101}), "Gain percent must be between 0 and 100.");
  EXPECT_STREQ(messageOf(cmd::Phaser, {5, -1}), "Gain percent must be between 0 and 100.");
  EXPECT_STREQ(messageOf(cmd::Distortion, {1001, -3}), "Delay Time must be between 0.0 and 1.0 milliseconds");
  // Text that is no number is refused by its field's first rule.
  EXPECT_STREQ(messageOf(cmd::Echo, {std::nullopt, 50}),
               "Echo time must be between 10 and 3000ms. Please try again.");
}

TEST(EffectForms, PresetsDefaultsAndRecordRangesPassTheChecks) {
  for (const EffectForm& form : effectForms()) {
    const EffectDescriptor* effect = findEffectDescriptor(form.command);
    ASSERT_NE(effect, nullptr);
    SCOPED_TRACE(effect->name);
    ASSERT_EQ(form.fields.size(), effect->values.size());
    FieldValues defaults{}, lows{}, highs{};
    for (size_t i = 0; i < form.fields.size(); ++i) {
      EXPECT_EQ(form.fields[i].value, effect->values[i]);
      defaults[i] = effect->values[i]->defaultValue;
      lows[i] = effect->values[i]->minimum;
      highs[i] = effect->values[i]->maximum;
    }
    EXPECT_EQ(checkEffectForm(form, defaults).message, nullptr);
    EXPECT_EQ(checkEffectForm(form, lows).message, nullptr);
    EXPECT_EQ(checkEffectForm(form, highs).message, nullptr);
    for (const EffectPreset& preset : effect->presets) {
      FieldValues values{};
      for (size_t i = 0; i < form.fields.size(); ++i) values[i] = preset.values[i];
      EXPECT_EQ(checkEffectForm(form, values).message, nullptr) << preset.name;
    }
    // Preview keeps values inside the ranges the checks accept.
    FieldValues wild{};
    for (size_t i = 0; i < form.fields.size(); ++i) wild[i] = i % 2 ? INT32_MIN : INT32_MAX;
    const EffectValues clamped = clampEffectForm(form, wild);
    FieldValues again{};
    for (size_t i = 0; i < form.fields.size(); ++i) again[i] = clamped[i];
    EXPECT_EQ(checkEffectForm(form, again).message, nullptr);
  }
}

TEST(EffectForms, DecimalValuesAreKeptAsTextAndReadInThousandths) {
  EXPECT_EQ(parseFieldValue(kChorusModValue, "0.5"), 500);
  EXPECT_EQ(parseFieldValue(kChorusModValue, " 1.25 "), 1250);
  EXPECT_EQ(parseFieldValue(kChorusModValue, "2"), 2000);
  EXPECT_EQ(parseFieldValue(kChorusModValue, "half"), std::nullopt);
  EXPECT_EQ(parseFieldValue(kChorusModValue, "0.5Hz"), std::nullopt);
  EXPECT_EQ(parseFieldValue(kChorusModValue, "1e300"), std::nullopt);
  EXPECT_EQ(parseFieldValue(kEchoTimeValue, "800"), 800);
  EXPECT_EQ(parseFieldValue(kEchoTimeValue, "8.5"), std::nullopt);
  EXPECT_EQ(parseFieldValue(kEchoTimeValue, ""), std::nullopt);
  EXPECT_EQ(parseFieldValue(kEchoTimeValue, "99999999999"), std::nullopt);
  EXPECT_EQ(fieldText(kDistortionDegreeValue, 1000), "1.0");
  EXPECT_EQ(fieldText(kDistortionDegreeValue, 50), "0.05");
  EXPECT_EQ(fieldText(kEchoTimeValue, 800), "800");

  auto store = sys::makeMemorySettingsStore();
  const EffectDescriptor& chorus = *findEffectDescriptor(cmd::Chorus);
  EXPECT_EQ(readEffectValues(*store, chorus), (EffectValues{40, 500, 5, 70}));
  writeEffectParameter(*store, kChorusModValue, 1500);
  EXPECT_EQ(store->read("Chorus", "Mod", ""), "1.5");
  store->write("Distortion", "Degree", "0.6");
  store->write("Distortion", "Level", "-8");
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::Distortion)), (EffectValues{600, -8, 0, 0}));
  store->write("Distortion", "Degree", "lots");
  EXPECT_EQ(readEffectValues(*store, *findEffectDescriptor(cmd::Distortion))[0], 500);
}

}  // namespace
