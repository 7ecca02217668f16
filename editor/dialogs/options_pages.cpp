#include "editor/dialogs/options_pages.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <algorithm>

#include "editor/dialogs/new_file_dialog.h"
#include "editor/frame.h"
#include "editor/model/recent_files.h"
#include "ui/text.h"

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;

// ---------------------------------------------------------------- General

class GeneralPage : public OptionsPage {
 public:
  explicit GeneralPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("General", 280, 190, kPageStyle)
                        .groupBox(-1, "When creating a new file", 4, 2, 272, 58)
                        .radio(105, "Prompt for Sample Rate and Channels", 12, 14, 250, 10, true)
                        .radio(106, "Use Default Sample Rate and Channels", 12, 28, 250, 10, false)
                        .button(107, "Set Default Sample Rate and Channels", 12, 42, 150, 13)
                        .text(-1, "File types to open with Razavo:", 4, 66, 200, 10)
                        .listBox(101, 4, 78, 130, 60, LBS_MULTIPLESEL | WS_VSCROLL)
                        .checkBox(102, "Add Razavo into Windows &Explorer context menu", 4, 142, 272, 10)
                        .checkBox(103, "Auto re-arrange file windows so that they are all visible", 4, 156, 272, 10)
                        .button(104, "Delete &Recent Files List", 4, 172, 110, 14)),
        m_frame(frame) {}

  bool apply() override {
    EditorSettings& settings = m_frame.settings();
    settings.setPromptSampleAndChannels(isChecked(105));
    settings.setAddToWEContext(isChecked(102));
    settings.setAutoArrangeWindows(isChecked(103));
    return true;
  }

 protected:
  bool onInit() override {
    const EditorSettings& settings = m_frame.settings();
    setCheck(settings.promptSampleAndChannels() ? 105 : 106, true);
    setCheck(102, settings.addToWEContext());
    setCheck(103, settings.autoArrangeWindows());
    for (const char* type : {".wav", ".aif", ".aiff", ".au", ".gsm", ".vox", ".raw", ".mp3"}) addListItem(101, type);
    return false;
  }
  void onCommand(int id, int) override {
    EditorSettings& settings = m_frame.settings();
    if (id == 107) {
      int32_t rate = settings.defaultSampleRate();
      int channels = settings.defaultChannels();
      if (askNewFileFormat(handle(), rate, channels, "Set Defaults")) {
        settings.setDefaultSampleRate(rate);
        settings.setDefaultChannels(channels);
      }
    } else if (id == 104) {
      if (ui::showMessage(handle(), "Are you sure you want to delete your recent files list?", "Confirm Delete",
                          MB_YESNO | MB_ICONQUESTION) == IDYES) {
        clearRecent(m_frame.store());
        m_frame.rebuildRecentMenu();
      }
    }
  }

 private:
  Frame& m_frame;
};

// ------------------------------------------------------- Audio Processing

class AudioPage : public OptionsPage {
 public:
  explicit AudioPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("Audio Processing", 280, 190, kPageStyle)
                        .text(-1, "Sound Play Device:", 4, 4, 80, 10)
                        .comboBox(101, 88, 2, 188, 100, CBS_DROPDOWNLIST | WS_VSCROLL)
                        .text(-1, "AutoTrim &Threshold (dB):", 4, 22, 100, 10)
                        .edit(103, "", 108, 20, 40, 12)
                        .groupBox(-1, "Audio Working Folder", 4, 38, 272, 58)
                        .radio(111, "Use Default User Data Folder", 12, 50, 200, 10, true)
                        .radio(112, "Use this specified folder", 12, 63, 200, 10, false)
                        .edit(105, "", 12, 77, 200, 12, ES_AUTOHSCROLL)
                        .button(106, "Browse...", 216, 76, 54, 14)
                        .checkBox(107, "Pla&y file automatically when opened", 4, 102, 272, 10)
                        .checkBox(102, "Automatic &playback after any edit or effect", 4, 116, 272, 10)
                        .checkBox(108, "Play file automatically after go to &bookmark", 4, 130, 272, 10)
                        .checkBox(110, "Play file automatically after select region", 4, 144, 272, 10)
                        .checkBox(109, "Reduce &volume by -8db with rewind and fast-forward", 4, 158, 272, 10)),
        m_frame(frame) {}

  bool apply() override {
    EditorSettings& settings = m_frame.settings();
    std::string folder = getText(105);
    bool useDefault = isChecked(111);
    if (!useDefault) {
      FolderCheck check = checkWorkingFolder(folder);
      if (check != FolderCheck::Ok) {
        ui::showMessage(handle(),
                        check == FolderCheck::Empty
                            ? "Please enter a valid folder."
                            : "The working folder that you entered does not exist. Please try again.",
                        "Invalid Folder", MB_OK | MB_ICONINFORMATION);
        return false;
      }
    }
    std::string before = chooseWorkingFolder(settings, m_frame.dataFolder());
    settings.setUseDefaultWorkingDir(useDefault);
    if (!useDefault) settings.setWorkingFolder(folder);
    std::string after = chooseWorkingFolder(settings, m_frame.dataFolder());
    if (!sameFolder(before, after)) m_frame.noteWorkingFolderChanged();
    settings.setSoundOutDevice(std::max(0, comboSelection(101)));
    if (std::optional<int> threshold = getInt(103)) settings.setAutoTrimThreshold(*threshold);
    settings.setPlayWhenOpen(isChecked(107));
    settings.setAutoPlaybackAfterEffects(isChecked(102));
    settings.setPlayBookMark(isChecked(108));
    settings.setPlayRegion(isChecked(110));
    settings.setReduceVolWhenRewind(isChecked(109));
    return true;
  }

 protected:
  bool onInit() override {
    const EditorSettings& settings = m_frame.settings();
    addComboItem(101, "[Default Sound Out]");
    UINT devices = waveOutGetNumDevs();
    for (UINT i = 0; i < devices; ++i) {
      WAVEOUTCAPSW caps{};
      if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR) addComboItem(101, ui::narrow(caps.szPname));
    }
    setComboSelection(101, std::min<int>(settings.soundOutDevice(), static_cast<int>(devices)));
    setInt(103, settings.autoTrimThreshold());
    setCheck(settings.useDefaultWorkingDir() ? 111 : 112, true);
    setText(105, settings.workingFolder());
    setCheck(107, settings.playWhenOpen());
    setCheck(102, settings.autoPlaybackAfterEffects());
    setCheck(108, settings.playBookMark());
    setCheck(110, settings.playRegion());
    setCheck(109, settings.reduceVolWhenRewind());
    return false;
  }
  void onCommand(int id, int) override {
    if (id != 106) return;
    BROWSEINFOW browse{};
    browse.hwndOwner = handle();
    browse.lpszTitle = L"Locate folder:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse)) {
      wchar_t path[MAX_PATH];
      if (SHGetPathFromIDListW(chosen, path)) {
        setText(105, ui::narrow(path));
        setCheck(112, true);
        setCheck(111, false);
      }
      CoTaskMemFree(chosen);
    }
  }

 private:
  static bool sameFolder(std::string a, std::string b) {
    auto normal = [](std::string& s) {
      std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c == '/' ? '\\' : std::tolower(c); });
      while (s.size() > 3 && s.back() == '\\') s.pop_back();
    };
    normal(a);
    normal(b);
    return a == b;
  }
  Frame& m_frame;
};

// ------------------------------------------------------------------- Keys

// "Press Key": the next key combination pressed becomes the answer.
class PressKeyDialog : public ui::Dialog {
 public:
  PressKeyDialog()
      : ui::Dialog(ui::DialogTemplate("Press Key", 160, 50)
                       .text(-1, "Press the key combination to assign.", 8, 8, 144, 10)
                       .button(IDCANCEL, "Cancel", 102, 30, 50, 14)) {}
  uint32_t keyCode = 0;

 protected:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }
  bool onInit() override {
    // Keys go to the dialog's own window while it has the focus.
    SetWindowSubclass(item(IDCANCEL), keyProc, 1, reinterpret_cast<DWORD_PTR>(this));
    return true;
  }

 private:
  static LRESULT CALLBACK keyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
      UINT key = static_cast<UINT>(wParam);
      if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU) {
        auto* dialog = reinterpret_cast<PressKeyDialog*>(self);
        uint32_t code = key;
        if (GetKeyState(VK_CONTROL) < 0) code |= kKeyCtrl;
        if (GetKeyState(VK_MENU) < 0) code |= kKeyAlt;
        if (GetKeyState(VK_SHIFT) < 0) code |= kKeyShift;
        dialog->keyCode = code;
        dialog->endDialog(IDOK);
        return 0;
      }
    }
    return DefSubclassProc(window, message, wParam, lParam);
  }
};

std::vector<std::pair<int, std::string>> menuCommands(HMENU menu, const std::string& prefix = "") {
  std::vector<std::pair<int, std::string>> commands;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    std::string label = ui::narrow(text);
    label.erase(std::remove(label.begin(), label.end(), '&'), label.end());
    if (size_t tab = label.find('\t'); tab != std::string::npos) label.resize(tab);
    if (HMENU sub = GetSubMenu(menu, i)) {
      auto inner = menuCommands(sub, prefix + label + " / ");
      commands.insert(commands.end(), inner.begin(), inner.end());
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1) && !label.empty())
      commands.emplace_back(static_cast<int>(id), prefix + label);
  }
  return commands;
}

// "Add Command": picks commands of the menus for a macro.
class AddCommandDialog : public ui::Dialog {
 public:
  explicit AddCommandDialog(HMENU menu)
      : ui::Dialog(ui::DialogTemplate("Add Command", 240, 200)
                       .text(-1, "Select command(s) to add to the Macro.", 8, 6, 224, 10)
                       .listBox(101, 8, 18, 224, 156, LBS_EXTENDEDSEL | WS_VSCROLL)
                       .defaultButton(IDOK, "OK", 126, 180, 50, 14)
                       .button(IDCANCEL, "Cancel", 182, 180, 50, 14)),
        m_commands(menuCommands(menu)) {}
  std::vector<uint32_t> chosen;

 protected:
  bool onInit() override {
    for (const auto& [id, label] : m_commands) addListItem(101, label);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      int count = static_cast<int>(sendItem(101, LB_GETCOUNT));
      for (int i = 0; i < count; ++i)
        if (sendItem(101, LB_GETSEL, i) > 0) chosen.push_back(static_cast<uint32_t>(m_commands[i].first));
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  std::vector<std::pair<int, std::string>> m_commands;
};

std::string commandLabel(HMENU menu, uint32_t id) {
  for (const auto& [command, label] : menuCommands(menu))
    if (static_cast<uint32_t>(command) == id) return label;
  return "Command " + std::to_string(id);
}

// "Select Keys/Macros": a key combination and its list of commands.
class KeyMacroDialog : public ui::Dialog {
 public:
  KeyMacroDialog(HMENU menu, UserKey key)
      : ui::Dialog(ui::DialogTemplate("Select Keys/Macros", 240, 190)
                       .text(-1, "Key combination:", 8, 8, 70, 10)
                       .edit(101, "", 80, 6, 100, 12, ES_READONLY)
                       .button(102, "Change", 184, 5, 48, 14)
                       .text(-1, "Commands run in order:", 8, 26, 200, 10)
                       .listBox(103, 8, 38, 224, 110, WS_VSCROLL)
                       .button(104, "Add", 8, 152, 50, 14)
                       .button(105, "Remove", 62, 152, 50, 14)
                       .defaultButton(IDOK, "OK", 126, 170, 50, 14)
                       .button(IDCANCEL, "Cancel", 182, 170, 50, 14)),
        key(std::move(key)),
        m_menu(menu) {}
  UserKey key;

 protected:
  bool onInit() override {
    refresh();
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == 102) {
      PressKeyDialog press;
      if (press.runModal(handle()) == IDOK) key.keyCode = press.keyCode;
      refresh();
      return;
    }
    if (id == 104) {
      AddCommandDialog add(m_menu);
      if (add.runModal(handle()) == IDOK) key.commands.insert(key.commands.end(), add.chosen.begin(), add.chosen.end());
      refresh();
      return;
    }
    if (id == 105) {
      int selected = listSelection(103);
      if (selected >= 0 && selected < static_cast<int>(key.commands.size())) key.commands.erase(key.commands.begin() + selected);
      refresh();
      return;
    }
    if (id == IDOK && (key.keyCode == 0 || key.commands.empty())) {
      ui::showMessage(handle(), "Choose a key combination and at least one command.", "Select Keys/Macros",
                      MB_OK | MB_ICONINFORMATION);
      return;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  void refresh() {
    setText(101, key.keyCode ? keyCodeText(key.keyCode) : "");
    sendItem(103, LB_RESETCONTENT);
    for (uint32_t command : key.commands) addListItem(103, commandLabel(m_menu, command));
  }
  HMENU m_menu;
};

class KeysPage : public OptionsPage {
 public:
  explicit KeysPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("Keys", 280, 190, kPageStyle)
                        .text(-1, "User Assigned Keys / Macros", 4, 4, 200, 10)
                        .listBox(101, 4, 16, 272, 150, LBS_EXTENDEDSEL | WS_VSCROLL)
                        .button(102, "Add", 4, 172, 50, 14)
                        .button(103, "Remove", 58, 172, 50, 14)
                        .button(104, "Change", 112, 172, 50, 14)),
        m_frame(frame),
        m_keys(frame.userKeys()) {}

  bool apply() override {
    if (!m_changed) return true;
    m_frame.userKeys() = m_keys;
    return m_frame.saveKeys();
  }

 protected:
  bool onInit() override {
    refresh();
    return false;
  }
  void onCommand(int id, int) override {
    HMENU menu = GetMenu(m_frame.handle());
    if (id == 102) {
      KeyMacroDialog dialog(menu, UserKey{0, {}});
      if (dialog.runModal(handle()) == IDOK) put(dialog.key);
    } else if (id == 104) {
      int selected = listSelection(101);
      if (selected < 0) return;
      KeyMacroDialog dialog(menu, m_keys[selected]);
      if (dialog.runModal(handle()) == IDOK) {
        m_keys.erase(m_keys.begin() + selected);
        put(dialog.key);
      }
    } else if (id == 103) {
      if (ui::showMessage(handle(), "Remove selected key(s)?", "Confirm Remove", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
      for (int i = static_cast<int>(m_keys.size()) - 1; i >= 0; --i)
        if (sendItem(101, LB_GETSEL, i) > 0) m_keys.erase(m_keys.begin() + i);
      m_changed = true;
    }
    refresh();
  }

 private:
  void put(const UserKey& key) {
    // One entry per key combination: a new macro replaces the old one.
    std::erase_if(m_keys, [&](const UserKey& k) { return k.keyCode == key.keyCode; });
    m_keys.push_back(key);
    m_changed = true;
  }
  void refresh() {
    HMENU menu = GetMenu(m_frame.handle());
    sendItem(101, LB_RESETCONTENT);
    for (const UserKey& key : m_keys) {
      std::string line = keyCodeText(key.keyCode) + "  =  ";
      for (size_t i = 0; i < key.commands.size(); ++i)
        line += (i ? ", " : "") + commandLabel(menu, key.commands[i]);
      addListItem(101, line);
    }
  }
  Frame& m_frame;
  std::vector<UserKey> m_keys;
  bool m_changed = false;
};

}  // namespace

std::unique_ptr<OptionsPage> makeGeneralPage(Frame& frame) { return std::make_unique<GeneralPage>(frame); }
std::unique_ptr<OptionsPage> makeAudioPage(Frame& frame) { return std::make_unique<AudioPage>(frame); }
std::unique_ptr<OptionsPage> makeKeysPage(Frame& frame) { return std::make_unique<KeysPage>(frame); }
