#include <gtest/gtest.h>

#include <string>

#include "ui/db_edit.h"
#include "ui/level_display.h"

namespace {

// A top-level window holding the controls under test.
struct Host {
  Host() {
    window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~Host() { DestroyWindow(window); }
  HWND child(const wchar_t* className, DWORD style = 0) {
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 24, window, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  HWND window;
};

std::wstring textOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

}  // namespace

TEST(LevelControls, LevelTextsShowDecibelsAndSilence) {
  struct Case {
    int level;
    const wchar_t* text;
  } cases[] = {{12, L"12dB"}, {0, L"0dB"}, {-24, L"-24dB"}, {-126, L"-126dB"}, {-127, L"--dB"}};
  for (const Case& c : cases) {
    wchar_t text[16];
    ui::levelText(c.level, text, 16);
    EXPECT_STREQ(text, c.text) << c.level;
  }
}

TEST(LevelControls, TheLevelDisplayTakesRecordsOfAnyChannelCount) {
  ASSERT_TRUE(ui::registerLevelDisplay(GetModuleHandleW(nullptr)));
  ASSERT_TRUE(ui::registerLevelDisplay(GetModuleHandleW(nullptr))) << "a second registration is harmless";
  Host host;
  HWND display = host.child(ui::kLevelDisplayClass);
  ASSERT_NE(display, nullptr);
  const int8_t levels[12] = {12, -127, 127, -127, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int channels : {1, 2, 12, 0}) {
    ui::setDisplayedLevels(display, levels, channels);
    UpdateWindow(display);
  }
  ui::clearDisplayedLevels(display);
  UpdateWindow(display);
  // Calls on a window that is not a level display do nothing.
  ui::setDisplayedLevels(host.window, levels, 2);
}

TEST(LevelControls, TheDbEditKeepsValuesInItsRangeAndRefusesOtherText) {
  ASSERT_TRUE(ui::registerDbEdit(GetModuleHandleW(nullptr)));
  Host host;
  HWND edit = host.child(ui::kDbEditClass, WS_BORDER);
  ASSERT_NE(edit, nullptr);
  ui::setDbRange(edit, -40, -6);
  ui::setDbValue(edit, -24);
  EXPECT_EQ(textOf(edit), L"-24");
  ui::setDbValue(edit, -60);
  EXPECT_EQ(textOf(edit), L"-40");
  ui::setDbValue(edit, 3);
  EXPECT_EQ(textOf(edit), L"-6");
  SetWindowTextW(edit, L"-100");
  EXPECT_EQ(ui::dbValue(edit), -40);
  SetWindowTextW(edit, L"-1x");
  EXPECT_FALSE(ui::dbValue(edit).has_value());

  // Typing: digits and one leading minus go in, anything else is refused.
  SetWindowTextW(edit, L"");
  for (wchar_t ch : std::wstring(L"-1a-2.5")) SendMessageW(edit, WM_CHAR, ch, 0);
  EXPECT_EQ(textOf(edit), L"-125");
  // Leaving the field puts the value back into the range, and the field
  // still counts as changed by the user.
  SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
  SendMessageW(edit, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(textOf(edit), L"-40");
  EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));

  EXPECT_EQ(ui::parseDb(L"-6"), -6);
  EXPECT_EQ(ui::parseDb(L"0"), 0);
  EXPECT_FALSE(ui::parseDb(L"").has_value());
  EXPECT_FALSE(ui::parseDb(L"-").has_value());
  EXPECT_FALSE(ui::parseDb(L"1-").has_value());
  EXPECT_FALSE(ui::parseDb(L" 5").has_value());
  EXPECT_EQ(ui::parseDb(L"99999999999"), 100000) << "long numbers stop growing rather than overflow";
}
