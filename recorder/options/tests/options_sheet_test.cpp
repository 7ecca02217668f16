#include "recorder/options/options_sheet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "sys/folders.h"
#include "testkit/testkit.h"
#include "recorder/options/run_at_logon.h"
#include "recorder/transmit/transmit_settings.h"
#include "ui/text.h"

namespace {

using namespace recorder;

// Runs the sheet's messages for a while, as the program's loop would.
void pump(HWND sheet, int milliseconds = 150) {
  const DWORD end = GetTickCount() + milliseconds;
  MSG message;
  while (GetTickCount() < end) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (sheet && IsWindow(sheet) && PropSheet_IsDialogMessage(sheet, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

// The window as the screen shows it, saved as a 24-bit BMP for people to look at.
void savePicture(HWND window, const std::string& path) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

std::string windowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return ui::narrow(text);
}

struct Shown {
  std::string text, title;
};

class OptionsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.setOutputFolder(folder.path());
    context.dataFolder = folder.path();
    context.programPath = "C:\\Program Files\\Rezara\\rezara.exe";
    context.showMessage = [this](HWND, const std::string& text, const std::string& title, UINT) {
      shown.push_back({text, title});
      return answer;
    };
    context.findComponent = [this](const std::string&) { return mp3Installed ? std::string("mp3enc.exe") : ""; };
    context.offerComponent = [this](HWND, const std::string& component) {
      offered.push_back(component);
      return false;
    };
  }
  void TearDown() override {
    if (sheet && IsWindow(sheet)) DestroyWindow(sheet);
  }

  HWND open(OptionsPage first) {
    sheet = options.create(nullptr, first);
    pump(sheet);
    return sheet;
  }
  HWND page() const { return PropSheet_GetCurrentPageHwnd(sheet); }
  void type(int id, const std::string& text) { SetDlgItemTextW(page(), id, ui::widen(text).c_str()); }
  void check(int id, bool on) {
    if ((IsDlgButtonChecked(page(), id) == BST_CHECKED) != on) SendMessageW(GetDlgItem(page(), id), BM_CLICK, 0, 0);
  }
  // OK: the sheet closes (its current page goes) unless a page refused.
  bool pressOk() {
    PropSheet_PressButton(sheet, PSBTN_OK);
    pump(sheet);
    return PropSheet_GetCurrentPageHwnd(sheet) == nullptr;
  }

  testkit::ScratchFolder folder;
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  RecorderSettings settings{*store, "unused"};
  OptionsContext context;
  OptionsOutcome outcome;
  OptionsSheet options{settings, context, outcome};
  HWND sheet = nullptr;
  std::vector<Shown> shown;
  int answer = IDOK;
  bool mp3Installed = false;
  std::vector<std::string> offered;
};

TEST_F(OptionsSheetTest, EveryPageOpensWithItsControlsAndIsPictured) {
  ASSERT_NE(open(OptionsPage::Record), nullptr);
  EXPECT_EQ(windowText(sheet), "Options");
  const char* env = std::getenv("ZED_TEST_TMP");
  const std::string pictures = sys::joinPath(sys::folderOf(env ? env : folder.path()), "screenshots");
  sys::createFolder(pictures);
  const struct {
    const char* name;
    int control;
    const char* text;
  } pages[] = {
      {"record", RecordPage::kCheckMaxTime, "Limit maximum recording time (h:mm:ss)"},
      {"output", OutputPage::kUsePattern, "Use this file name format"},
      {"transmit", TransmitPage::kSendEmail, "Send Recordings by Email (as an attachment)"},
      {"general", GeneralPage::kIntervalTone, "Sound record tone every (secs)"},
      {"hotkeys", HotKeysPage::kAdd, "Add..."},
  };
  for (int i = 0; i < 5; ++i) {
    PropSheet_SetCurSel(sheet, nullptr, i);
    pump(sheet);
    ASSERT_NE(page(), nullptr) << pages[i].name;
    EXPECT_EQ(windowText(GetDlgItem(page(), pages[i].control)), pages[i].text);
    savePicture(sheet, sys::joinPath(pictures, std::string("recorder-options-") + pages[i].name + ".bmp"));
  }
  EXPECT_TRUE(shown.empty());
  // The output page shows what is stored.
  PropSheet_SetCurSel(sheet, nullptr, 1);
  pump(sheet);
  EXPECT_EQ(windowText(GetDlgItem(page(), OutputPage::kFolder)), folder.path());
  EXPECT_EQ(windowText(GetDlgItem(page(), OutputPage::kPattern)), "Untitled %autonumber%");
}

TEST_F(OptionsSheetTest, AMaximumTimeOutOfRangeKeepsTheRecordPageWithTheFocusOnIt) {
  open(OptionsPage::Record);
  check(RecordPage::kCheckMaxTime, true);
  check(RecordPage::kCreateNew, true);
  type(RecordPage::kMaxTime, "2:00:01");
  EXPECT_FALSE(pressOk());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Maximum recording time must be between 1 to 7200 seconds.");
  EXPECT_EQ(shown[0].title, "Invalid time");
  EXPECT_EQ(GetFocus(), GetDlgItem(page(), RecordPage::kMaxTime));
  EXPECT_EQ(settings.checkMaxTime(), false);  // nothing stored yet

  type(RecordPage::kMaxTime, "2:00:00");
  EXPECT_TRUE(pressOk());
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(settings.checkMaxTime());
  EXPECT_EQ(settings.maxTime(), "2:00:00");
  EXPECT_FALSE(settings.stopReachMaxTime());
}

TEST_F(OptionsSheetTest, TheOutputPageChecksPatternFolderAndTheMp3Encoder) {
  open(OptionsPage::Output);
  type(OutputPage::kPattern, "Rec %autonumber% take");
  EXPECT_FALSE(pressOk());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown.back().title, "Invalid format");
  EXPECT_EQ(GetFocus(), GetDlgItem(page(), OutputPage::kPattern));

  // A missing folder: "No" to creating it keeps the page.
  const std::string newFolder = sys::joinPath(folder.path(), "Takes");
  type(OutputPage::kPattern, "Rec %autonumber%");
  type(OutputPage::kFolder, newFolder);
  answer = IDNO;
  EXPECT_FALSE(pressOk());
  EXPECT_EQ(shown.back().title, "Create Folder");
  EXPECT_FALSE(sys::folderExists(newFolder));

  // MP3 without its encoder, download declined: the page stays.
  answer = IDYES;
  SendMessageW(GetDlgItem(page(), OutputPage::kFormat), CB_SETCURSEL, 1, 0);
  EXPECT_FALSE(pressOk());
  EXPECT_TRUE(sys::folderExists(newFolder));
  EXPECT_EQ(offered, std::vector<std::string>{"mp3el"});
  EXPECT_EQ(settings.format(), 0);

  mp3Installed = true;
  EXPECT_TRUE(pressOk());
  EXPECT_EQ(settings.format(), 1);
  EXPECT_EQ(settings.outputFolder(), newFolder);
  EXPECT_EQ(settings.fileNameFormat(), "Rec %autonumber%");
  EXPECT_TRUE(outcome.folderChanged);
}

TEST_F(OptionsSheetTest, ViewSampleShowsTheNextNameAndTakesItsNumber) {
  ASSERT_TRUE(testkit::writeAll(folder.file("Rec 1.wav"), {1}));
  open(OptionsPage::Output);
  type(OutputPage::kPattern, "Rec %autonumber%");
  SendMessageW(GetDlgItem(page(), OutputPage::kViewSample), BM_CLICK, 0, 0);
  pump(sheet);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Rec 2");
  EXPECT_EQ(shown[0].title, "Sample File Name");
  EXPECT_EQ(settings.autoNumber(), 3);
}

std::wstring runValue(HKEY hive) {
  wchar_t data[512] = {};
  DWORD bytes = sizeof data;
  if (RegGetValueW(hive, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"RezaraRun", RRF_RT_REG_SZ,
                   nullptr, data, &bytes) != ERROR_SUCCESS)
    return L"(none)";
  return data;
}

TEST_F(OptionsSheetTest, TheGeneralPageChecksTheIntervalAndStartsAtLogonForThisUserOnly) {
  setRunAtLogon(false, "");
  open(OptionsPage::General);
  check(GeneralPage::kIntervalTone, true);
  type(GeneralPage::kInterval, "");
  EXPECT_FALSE(pressOk());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please enter a valid interval (in secs).");
  EXPECT_EQ(shown[0].title, "Invalid Interval");
  EXPECT_EQ(GetFocus(), GetDlgItem(page(), GeneralPage::kInterval));

  type(GeneralPage::kInterval, "45");
  check(GeneralPage::kRunAtLogon, true);
  EXPECT_TRUE(pressOk());
  EXPECT_EQ(settings.intervalSecs(), 45);
  EXPECT_TRUE(settings.intervalTone());
  EXPECT_TRUE(runsAtLogon());
  EXPECT_EQ(runValue(HKEY_CURRENT_USER), L"\"C:\\Program Files\\Rezara\\rezara.exe\" -logon");
  EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE), L"(none)");

  EXPECT_TRUE(setRunAtLogon(false, ""));
  EXPECT_FALSE(runsAtLogon());
}

TEST(DefaultOutputFolder, IsTheDocumentsFolderOfTheUserAndExists) {
  wchar_t documents[MAX_PATH * 2] = {};
  DWORD bytes = sizeof documents - sizeof(wchar_t);
  const bool known = RegGetValueW(HKEY_CURRENT_USER,
                                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                  L"Personal", RRF_RT_REG_SZ, nullptr, documents, &bytes) == ERROR_SUCCESS;
  testkit::ScratchFolder data;
  const std::string folder = defaultOutputFolder(data.path());
  EXPECT_EQ(folder, sys::joinPath(known ? ui::narrow(documents) : data.path(), "Rezara"));
  EXPECT_TRUE(sys::folderExists(folder));
}

TEST(HotKeyText, NamesModifiersAndKey) {
  EXPECT_EQ(hotKeyText(kHotKeyCtrl | kHotKeyAlt | VK_F5), "Ctrl+Alt+F5");
  EXPECT_EQ(hotKeyText(kHotKeyShift | 'R'), "Shift+R");
}

}  // namespace

TEST_F(OptionsSheetTest, TheTransmitPageNeverShowsTheFtpPasswordAndSealsAClearOneOnSave) {
  store->write(kFtpSection, "Password", "clear pass");
  open(OptionsPage::Transmit);
  check(TransmitPage::kSendFtp, true);
  EXPECT_NE(windowText(GetDlgItem(page(), TransmitPage::kPassword)), "clear pass");
  EXPECT_NE(GetDlgItem(page(), TransmitPage::kEmailSettings), nullptr);
  EXPECT_TRUE(pressOk());
  const std::string sealed = store->read(kFtpSection, "Password", "");
  EXPECT_EQ(sealed.rfind(mail::kSealedPrefix, 0), 0u) << sealed;
  std::unique_ptr<mail::PasswordVault> vault = mail::makeSystemPasswordVault();
  EXPECT_EQ(readFtpPassword(settings, vault.get()).secret, "clear pass");

  // A new password typed over the placeholder replaces the stored one.
  open(OptionsPage::Transmit);
  type(TransmitPage::kPassword, "new pass");
  EXPECT_TRUE(pressOk());
  EXPECT_EQ(readFtpPassword(settings, vault.get()).secret, "new pass");
  EXPECT_EQ(store->read(kFtpSection, "Password", "").find("new pass"), std::string::npos);
}
