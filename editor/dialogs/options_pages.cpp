#include "editor/dialogs/options_pages.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <algorithm>

#include "editor/dialogs/file_type_list.h"
#include "editor/dialogs/folder_browse.h"
#include "editor/dialogs/new_file_dialog.h"
#include "editor/frame.h"
#include "editor/model/recent_files.h"
#include "editor/shell_integration.h"
#include "shell/shell_registration.h"
#include "ui/text.h"

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;

// ---------------------------------------------------------------- General

class GeneralPage : public OptionsPage {
 public:
  static constexpr int kFileTypes = 101, kExplorerMenu = 102, kAutoArrange = 103, kClearRecent = 104;
  static constexpr int kPromptFormat = 105, kUseDefaultFormat = 106, kSetDefaultFormat = 107;

  explicit GeneralPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("General", 280, 190, kPageStyle)
                        .groupBox(-1, "When creating a new file", 4, 2, 272, 58)
                        .radio(kPromptFormat, "Prompt for Sample Rate and Channels", 12, 14, 250, 10, true)
                        .radio(kUseDefaultFormat, "Use Default Sample Rate and Channels", 12, 28, 250, 10, false)
                        .button(kSetDefaultFormat, "Set Default Sample Rate and Channels", 12, 42, 150, 13)
                        .text(-1, "File types to open with Razavo:", 4, 66, 200, 10)
                        .control(WC_LISTVIEWW, kFileTypes, "", kFileTypeListStyle, 0, 4, 78, 130, 60)
                        .checkBox(kExplorerMenu, "Add Razavo into Windows &Explorer context menu", 4, 142, 272, 10)
                        .checkBox(kAutoArrange, "Auto re-arrange file windows so that they are all visible", 4, 156,
                                  272, 10)
                        .button(kClearRecent, "Delete &Recent Files List", 4, 172, 110, 14)),
        m_frame(frame) {}

  bool apply() override {
    EditorSettings& settings = m_frame.settings();
    settings.setPromptSampleAndChannels(isChecked(kPromptFormat));
    settings.setAddToWEContext(isChecked(kExplorerMenu));
    settings.setAutoArrangeWindows(isChecked(kAutoArrange));
    // The file types and the Explorer menu live in the shell's registry.
    std::string program = editorProgramPath();
    shell::FileAssociations associations = systemAssociations();
    bool registered = applyFileTypeList(item(kFileTypes), associations, program);
    registered = shell::setExplorerMenu(associations, program, settings.addToWEContext()) && registered;
    if (!registered)
      ui::showMessage(handle(),
                      "Some file types could not be changed. Changing them may need an administrator's rights.",
                      "Razavo", MB_OK | MB_ICONINFORMATION);
    return true;
  }

 protected:
  bool onInit() override {
    const EditorSettings& settings = m_frame.settings();
    setCheck(settings.promptSampleAndChannels() ? kPromptFormat : kUseDefaultFormat, true);
    setCheck(kExplorerMenu, settings.addToWEContext());
    setCheck(kAutoArrange, settings.autoArrangeWindows());
    fillFileTypeList(item(kFileTypes), systemAssociations(), editorProgramPath());
    return false;
  }
  void onCommand(int id, int) override {
    EditorSettings& settings = m_frame.settings();
    if (id == kSetDefaultFormat) {
      int32_t rate = settings.defaultSampleRate();
      int channels = settings.defaultChannels();
      if (askNewFileFormat(handle(), rate, channels, "Set Defaults")) {
        settings.setDefaultSampleRate(rate);
        settings.setDefaultChannels(channels);
      }
    } else if (id == kClearRecent) {
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
  static constexpr int kPlayDevice = 101, kPlayAfterEdit = 102, kAutoTrimThreshold = 103, kWorkingFolder = 105;
  static constexpr int kBrowse = 106, kPlayWhenOpen = 107, kPlayAfterBookmark = 108, kQuieterScan = 109;
  static constexpr int kPlayAfterRegion = 110, kDefaultFolder = 111, kOwnFolder = 112;

  explicit AudioPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("Audio Processing", 280, 190, kPageStyle)
                        .text(-1, "Sound Play Device:", 4, 4, 80, 10)
                        .comboBox(kPlayDevice, 88, 2, 188, 100, CBS_DROPDOWNLIST | WS_VSCROLL)
                        .text(-1, "AutoTrim &Threshold (dB):", 4, 22, 100, 10)
                        .edit(kAutoTrimThreshold, "", 108, 20, 40, 12)
                        .groupBox(-1, "Audio Working Folder", 4, 38, 272, 58)
                        .radio(kDefaultFolder, "Use Default User Data Folder", 12, 50, 200, 10, true)
                        .radio(kOwnFolder, "Use this specified folder", 12, 63, 200, 10, false)
                        .edit(kWorkingFolder, "", 12, 77, 200, 12, ES_AUTOHSCROLL)
                        .button(kBrowse, "Browse...", 216, 76, 54, 14)
                        .checkBox(kPlayWhenOpen, "Pla&y file automatically when opened", 4, 102, 272, 10)
                        .checkBox(kPlayAfterEdit, "Automatic &playback after any edit or effect", 4, 116, 272, 10)
                        .checkBox(kPlayAfterBookmark, "Play file automatically after go to &bookmark", 4, 130, 272, 10)
                        .checkBox(kPlayAfterRegion, "Play file automatically after select region", 4, 144, 272, 10)
                        .checkBox(kQuieterScan, "Reduce &volume by -8db with rewind and fast-forward", 4, 158, 272,
                                  10)),
        m_frame(frame) {}

  bool apply() override {
    EditorSettings& settings = m_frame.settings();
    std::string folder = getText(kWorkingFolder);
    bool useDefault = isChecked(kDefaultFolder);
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
    settings.setSoundOutDevice(std::max(0, comboSelection(kPlayDevice)));
    if (std::optional<int> threshold = getInt(kAutoTrimThreshold)) settings.setAutoTrimThreshold(*threshold);
    settings.setPlayWhenOpen(isChecked(kPlayWhenOpen));
    settings.setAutoPlaybackAfterEffects(isChecked(kPlayAfterEdit));
    settings.setPlayBookMark(isChecked(kPlayAfterBookmark));
    settings.setPlayRegion(isChecked(kPlayAfterRegion));
    settings.setReduceVolWhenRewind(isChecked(kQuieterScan));
    return true;
  }

 protected:
  bool onInit() override {
    const EditorSettings& settings = m_frame.settings();
    addComboItem(kPlayDevice, "[Default Sound Out]");
    UINT devices = waveOutGetNumDevs();
    for (UINT i = 0; i < devices; ++i) {
      WAVEOUTCAPSW caps{};
      if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
        addComboItem(kPlayDevice, ui::narrow(caps.szPname));
    }
    setComboSelection(kPlayDevice, std::min<int>(settings.soundOutDevice(), static_cast<int>(devices)));
    setInt(kAutoTrimThreshold, settings.autoTrimThreshold());
    setCheck(settings.useDefaultWorkingDir() ? kDefaultFolder : kOwnFolder, true);
    setText(kWorkingFolder, settings.workingFolder());
    setCheck(kPlayWhenOpen, settings.playWhenOpen());
    setCheck(kPlayAfterEdit, settings.autoPlaybackAfterEffects());
    setCheck(kPlayAfterBookmark, settings.playBookMark());
    setCheck(kPlayAfterRegion, settings.playRegion());
    setCheck(kQuieterScan, settings.reduceVolWhenRewind());
    return false;
  }
  void onCommand(int id, int) override {
    if (id != kBrowse) return;
    std::string folder = browseForFolder(handle(), L"Locate folder:");
    if (!folder.empty()) {
      setText(kWorkingFolder, folder);
      setCheck(kOwnFolder, true);
      setCheck(kDefaultFolder, false);
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
  static constexpr int kCommands = 101;

  explicit AddCommandDialog(HMENU menu)
      : ui::Dialog(ui::DialogTemplate("Add Command", 240, 200)
                       .text(-1, "Select command(s) to add to the Macro.", 8, 6, 224, 10)
                       .listBox(kCommands, 8, 18, 224, 156, LBS_EXTENDEDSEL | WS_VSCROLL)
                       .defaultButton(IDOK, "OK", 126, 180, 50, 14)
                       .button(IDCANCEL, "Cancel", 182, 180, 50, 14)),
        m_commands(menuCommands(menu)) {}
  std::vector<uint32_t> chosen;

 protected:
  bool onInit() override {
    for (const auto& [id, label] : m_commands) addListItem(kCommands, label);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      int count = static_cast<int>(sendItem(kCommands, LB_GETCOUNT));
      for (int i = 0; i < count; ++i)
        if (sendItem(kCommands, LB_GETSEL, i) > 0) chosen.push_back(static_cast<uint32_t>(m_commands[i].first));
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
  static constexpr int kKeyCombination = 101, kChangeKey = 102, kMacroCommands = 103, kAddCommand = 104;
  static constexpr int kRemoveCommand = 105;

  KeyMacroDialog(HMENU menu, UserKey key)
      : ui::Dialog(ui::DialogTemplate("Select Keys/Macros", 240, 190)
                       .text(-1, "Key combination:", 8, 8, 70, 10)
                       .edit(kKeyCombination, "", 80, 6, 100, 12, ES_READONLY)
                       .button(kChangeKey, "Change", 184, 5, 48, 14)
                       .text(-1, "Commands run in order:", 8, 26, 200, 10)
                       .listBox(kMacroCommands, 8, 38, 224, 110, WS_VSCROLL)
                       .button(kAddCommand, "Add", 8, 152, 50, 14)
                       .button(kRemoveCommand, "Remove", 62, 152, 50, 14)
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
    if (id == kChangeKey) {
      PressKeyDialog press;
      if (press.runModal(handle()) == IDOK) key.keyCode = press.keyCode;
      refresh();
      return;
    }
    if (id == kAddCommand) {
      AddCommandDialog add(m_menu);
      if (add.runModal(handle()) == IDOK) key.commands.insert(key.commands.end(), add.chosen.begin(), add.chosen.end());
      refresh();
      return;
    }
    if (id == kRemoveCommand) {
      int selected = listSelection(kMacroCommands);
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
    setText(kKeyCombination, key.keyCode ? keyCodeText(key.keyCode) : "");
    sendItem(kMacroCommands, LB_RESETCONTENT);
    for (uint32_t command : key.commands) addListItem(kMacroCommands, commandLabel(m_menu, command));
  }
  HMENU m_menu;
};

class KeysPage : public OptionsPage {
 public:
  static constexpr int kKeyList = 101, kAddKey = 102, kRemoveKeys = 103, kChangeKeyMacro = 104;

  explicit KeysPage(Frame& frame)
      : OptionsPage(ui::DialogTemplate("Keys", 280, 190, kPageStyle)
                        .text(-1, "User Assigned Keys / Macros", 4, 4, 200, 10)
                        .listBox(kKeyList, 4, 16, 272, 150, LBS_EXTENDEDSEL | WS_VSCROLL)
                        .button(kAddKey, "Add", 4, 172, 50, 14)
                        .button(kRemoveKeys, "Remove", 58, 172, 50, 14)
                        .button(kChangeKeyMacro, "Change", 112, 172, 50, 14)),
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
    if (id == kAddKey) {
      KeyMacroDialog dialog(menu, UserKey{0, {}});
      if (dialog.runModal(handle()) == IDOK) put(dialog.key);
    } else if (id == kChangeKeyMacro) {
      int selected = listSelection(kKeyList);
      if (selected < 0) return;
      KeyMacroDialog dialog(menu, m_keys[selected]);
      if (dialog.runModal(handle()) == IDOK) {
        m_keys.erase(m_keys.begin() + selected);
        put(dialog.key);
      }
    } else if (id == kRemoveKeys) {
      if (ui::showMessage(handle(), "Remove selected key(s)?", "Confirm Remove", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
      for (int i = static_cast<int>(m_keys.size()) - 1; i >= 0; --i)
        if (sendItem(kKeyList, LB_GETSEL, i) > 0) m_keys.erase(m_keys.begin() + i);
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
    sendItem(kKeyList, LB_RESETCONTENT);
    for (const UserKey& key : m_keys) {
      std::string line = keyCodeText(key.keyCode) + "  =  ";
      for (size_t i = 0; i < key.commands.size(); ++i)
        line += (i ? ", " : "") + commandLabel(menu, key.commands[i]);
      addListItem(kKeyList, line);
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
