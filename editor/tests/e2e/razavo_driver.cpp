// Drives a running editor from outside, the way the end-to-end tests need:
// finds its windows, sends commands, keys and hand-over records, answers its
// message boxes and reads its fields. One action per run; prints what it
// found on standard output.
//
//   razavo_driver wait-frame SECONDS          the frame's handle once it exists
//   razavo_driver wait-gone SECONDS           succeeds once no editor process is left
//   razavo_driver documents                   the open documents' titles, one a line
//   razavo_driver command ID                  WM_COMMAND to the frame, waiting until it is done
//   razavo_driver post ID                     WM_COMMAND posted (for commands that open a dialog)
//   razavo_driver key VK                      key down and up, sent to the frame
//   razavo_driver field ID                    text of a frame control
//   razavo_driver answer TITLE BUTTON SECONDS clicks BUTTON in a dialog titled TITLE
//   razavo_driver handover SIZE COUNT ARG...  a raw hand-over record (for bad records), sent once
//                                             the frame is enabled (no dialog or long work)
//   razavo_driver close                       WM_CLOSE to the frame (posted)
//   razavo_driver button-image ID             the handle of the bitmap frame button ID shows
//   razavo_driver note-args FILE ARG...       appends ARG..., one a line, to FILE: a stand-in
//                                             viewer that a test registers for a file type
//   razavo_driver note-list FILE ARG...       as note-args, then the lines of the file named after
//                                             "-list": a stand-in burner
//   razavo_driver clipboard-size              bytes of the wave on the clipboard (made on demand)
//   razavo_driver clipboard-put FILE          puts a WAVE file's bytes on the clipboard
//   razavo_driver click-wave FRACTION         a click in the active document's waveform,
//                                             FRACTION of the way across
//   razavo_driver drag-wave FROM TO           a drag across the waveform (a selection)
//   razavo_driver dialog-set TITLE ID TEXT    sets the text of control ID in a dialog titled TITLE
//   razavo_driver dialog-get TITLE ID         prints the text of control ID in that dialog
//   razavo_driver dialog-pick TITLE ID INDEX  selects row INDEX of combo or list box ID, as a click would
//                                             (in a list of several choices, that row alone;
//                                             with "add" after INDEX, added to those chosen)
//   razavo_driver dialog-list TITLE ID        the rows of list box ID, a line each
//   razavo_driver activate NAME               makes the document titled NAME the active one
//   razavo_driver title                       the frame's title
//   razavo_driver dialog-wait TITLE SECONDS   succeeds once a dialog titled TITLE is open
//   razavo_driver dialog-post TITLE MSG WPARAM [LPARAM]  posts message MSG to the dialog itself
//   razavo_driver dialog-gone TITLE SECONDS   succeeds once no dialog titled TITLE is open
//   razavo_driver dialog-state TITLE          "visible" or "hidden", then "topmost" or "normal"
//   razavo_driver dialog-read-cancel TITLE SECONDS ID...  once the dialog is open, prints the text of
//                                             each control ID, a line each, then presses its Cancel
//   razavo_driver dialog-click TITLE ID X Y [right | X2 Y2]  a click on control ID at fractions X, Y of its
//                                             area (right button; or a drag on to X2, Y2)
//   razavo_driver dialog-list-select TITLE ID INDEX...  selects rows INDEX... of list view ID and
//                                             prints how many rows it has
//   razavo_driver child CLASS [X Y]           for the frame's window of class CLASS: its title, and
//                                             the text of its read-out line after the mouse moved to
//                                             fractions X, Y of its client area
//   razavo_driver child-click CLASS ID        presses button ID of that window
//   razavo_driver child-maximize CLASS        maximizes that window in the frame
// A dialog is a dialog box or the progress dialog, found by its title.

#include <windows.h>
#include <tlhelp32.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sys/win32/owned_handle.h"
#include "sys/win32/wide_text.h"

namespace {

using sys::win32::narrow;
using sys::win32::widen;

HWND frame() { return FindWindowW(L"LMMWC", nullptr); }

HWND waitFor(double seconds, HWND (*find)()) {
  for (DWORD waited = 0; waited <= seconds * 1000; waited += 100) {
    if (HWND found = find()) return found;
    Sleep(100);
  }
  return nullptr;
}

bool editorProcessRunning() {
  sys::win32::OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && !found;
       more = Process32NextW(snapshot.get(), &entry))
    found = _wcsicmp(entry.szExeFile, L"razavo.exe") == 0;
  return found;
}

HWND mdiClient(HWND frameWindow) { return FindWindowExW(frameWindow, nullptr, L"MDICLIENT", nullptr); }

BOOL CALLBACK findControl(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<int, HWND>*>(data);
  if (GetDlgCtrlID(window) == search->first) {
    search->second = window;
    return FALSE;
  }
  return TRUE;
}

// A dialog box, or the progress dialog (a dialog of its own window class).
HWND findDialog(const std::wstring& title) {
  HWND dialog = FindWindowW(L"#32770", title.c_str());
  return dialog ? dialog : FindWindowW(L"LProgressDialog", title.c_str());
}

BOOL CALLBACK findVisibleControl(HWND window, LPARAM data) {
  return IsWindowVisible(window) ? findControl(window, data) : TRUE;
}

// A control of a dialog by id, also inside a panel of the dialog (the
// Save As dialog's own controls sit in a child dialog). Where panels take
// turns (the pages of a wizard) and share ids, the one on show is meant.
HWND dialogControl(HWND dialog, int id) {
  if (HWND direct = GetDlgItem(dialog, id)) return direct;
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(dialog, findVisibleControl, reinterpret_cast<LPARAM>(&search));
  if (!search.second) EnumChildWindows(dialog, findControl, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND waitForDialog(const std::wstring& title, double seconds) {
  for (DWORD waited = 0;; waited += 100) {
    if (HWND dialog = findDialog(title)) return dialog;
    if (waited >= seconds * 1000) return nullptr;
    Sleep(100);
  }
}

// Dialog actions work on any dialog of the editor, also without a frame.
int dialogAction(const std::string& action, int argc, char** argv) {
  if (action == "dialog-gone" && argc > 3) {
    std::wstring title = widen(argv[2]);
    for (DWORD waited = 0; waited <= std::atof(argv[3]) * 1000; waited += 100) {
      if (!findDialog(title)) return 0;
      Sleep(100);
    }
    return 1;
  }
  if (action == "dialog-read-cancel" && argc > 3) {
    // One run for both: a progress dialog may well end between two runs of
    // the driver, each of which starts a Windows process.
    HWND dialog = waitForDialog(widen(argv[2]), std::atof(argv[3]));
    if (!dialog) {
      std::fprintf(stderr, "no dialog \"%s\"\n", argv[2]);
      return 1;
    }
    for (int i = 4; i < argc; ++i) {
      wchar_t text[512] = {};
      GetDlgItemTextW(dialog, std::atoi(argv[i]), text, 512);
      std::printf("%s\n", narrow(text).c_str());
    }
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (!cancel || !PostMessageW(cancel, BM_CLICK, 0, 0)) {
      std::fprintf(stderr, "the dialog \"%s\" ended before Cancel\n", argv[2]);
      return 1;
    }
    return 0;
  }
  HWND dialog = waitForDialog(widen(argv[2]), action == "dialog-wait" ? std::atof(argv[3]) : 20);
  if (!dialog) {
    std::fprintf(stderr, "no dialog \"%s\"\n", argv[2]);
    return 1;
  }
  if (action == "dialog-wait") return 0;
  if (action == "dialog-state") {
    // Whether the window shows, and whether it floats above the others.
    const bool topmost = GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST;
    std::printf("%s %s\n", IsWindowVisible(dialog) ? "visible" : "hidden", topmost ? "topmost" : "normal");
    return 0;
  }
  if (action == "dialog-controls") {
    // Every control of the dialog, nested ones too: id, class and text.
    EnumChildWindows(
        dialog,
        [](HWND control, LPARAM) -> BOOL {
          wchar_t className[64] = {}, text[128] = {};
          GetClassNameW(control, className, 64);
          GetWindowTextW(control, text, 128);
          std::printf("%d %s %s\n", GetDlgCtrlID(control), narrow(className).c_str(), narrow(text).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  if (action == "dialog-post" && argc > 4) {
    // A message straight to the dialog window, e.g. a hot key or a command.
    UINT message = std::strtoul(argv[3], nullptr, 0);
    WPARAM wParam = std::strtoul(argv[4], nullptr, 0);
    LPARAM lParam = argc > 5 ? std::strtol(argv[5], nullptr, 0) : 0;
    return PostMessageW(dialog, message, wParam, lParam) ? 0 : 1;
  }
  int id = std::atoi(argv[3]);
  HWND control = dialogControl(dialog, id);
  if (!control) {
    std::fprintf(stderr, "no control %d\n", id);
    return 1;
  }
  DWORD_PTR ignored = 0;
  if (action == "dialog-set" && argc > 4) {
    std::wstring text = widen(argv[4]);
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 20000,
                        &ignored);
    return 0;
  }
  if (action == "dialog-get") {
    wchar_t text[512] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 20000, &ignored);
    std::printf("%s\n", narrow(text).c_str());
    return 0;
  }
  if (action == "dialog-count") {
    // The number of entries of a drop-down or list.
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    LRESULT count = 0;
    SendMessageTimeoutW(control, _wcsicmp(className, L"ComboBox") == 0 ? CB_GETCOUNT : LB_GETCOUNT, 0, 0,
                        SMTO_NORMAL, 20000, reinterpret_cast<DWORD_PTR*>(&count));
    std::printf("%d\n", static_cast<int>(count));
    return 0;
  }
  if (action == "dialog-pick" && argc > 4) {
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    bool combo = _wcsicmp(className, L"ComboBox") == 0;
    WPARAM index = std::strtoul(argv[4], nullptr, 0);
    bool several = !combo && (GetWindowLongW(control, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL));
    if (several) {
      const bool add = argc > 5 && std::strcmp(argv[5], "add") == 0;
      if (!add) SendMessageTimeoutW(control, LB_SETSEL, FALSE, static_cast<LPARAM>(-1), SMTO_NORMAL, 20000, &ignored);
      SendMessageTimeoutW(control, LB_SETSEL, TRUE, static_cast<LPARAM>(index), SMTO_NORMAL, 20000, &ignored);
    } else {
      SendMessageTimeoutW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0, SMTO_NORMAL, 20000, &ignored);
    }
    WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control), SMTO_NORMAL,
                        20000, &ignored);
    return 0;
  }
  if (action == "dialog-list-select") {
    // The item records live in the editor's memory: list views take
    // pointers that are not carried between processes.
    LRESULT rows = 0;
    SendMessageTimeoutW(control, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 20000, reinterpret_cast<PDWORD_PTR>(&rows));
    std::printf("%d\n", static_cast<int>(rows));
    if (argc <= 4) return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    sys::win32::OwnedHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    void* remote = process ? VirtualAllocEx(process.get(), nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (!remote) return 1;
    for (int i = 4; i < argc; ++i) {
      LVITEMW row{};
      row.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      row.state = LVIS_SELECTED | LVIS_FOCUSED;
      WriteProcessMemory(process.get(), remote, &row, sizeof row, nullptr);
      SendMessageTimeoutW(control, LVM_SETITEMSTATE, std::strtoul(argv[i], nullptr, 0), reinterpret_cast<LPARAM>(remote),
                          SMTO_NORMAL, 20000, &ignored);
    }
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return 0;
  }
  if (action == "dialog-list") {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(control, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 20000, &count);
    for (DWORD_PTR row = 0; row < count; ++row) {
      wchar_t text[512] = {};
      SendMessageTimeoutW(control, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 20000, &ignored);
      std::printf("%s\n", narrow(text).c_str());
    }
    return 0;
  }
  if (action == "dialog-click" && argc > 5) {
    // A mouse click on a control, at fractions of its client area; with a
    // second place, a drag from the first to the second.
    RECT client{};
    GetClientRect(control, &client);
    auto at = [&](const char* x, const char* y) {
      return MAKELPARAM(static_cast<int>(std::atof(x) * client.right), static_cast<int>(std::atof(y) * client.bottom));
    };
    bool right = argc > 6 && std::strcmp(argv[6], "right") == 0;
    LPARAM from = at(argv[4], argv[5]), to = argc > 7 ? at(argv[6], argv[7]) : from;
    SendMessageTimeoutW(control, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, from,
                        SMTO_NORMAL, 20000, &ignored);
    if (to != from) SendMessageTimeoutW(control, WM_MOUSEMOVE, MK_LBUTTON, to, SMTO_NORMAL, 20000, &ignored);
    SendMessageTimeoutW(control, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, to, SMTO_NORMAL, 20000, &ignored);
    return 0;
  }
  return 2;
}

int usage() {
  std::fprintf(stderr, "usage: razavo_driver ACTION ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // The C runtime gives the arguments in the ANSI code page, which loses
  // every character beyond it; the wide command line has them all (UTF-8 here).
  std::vector<std::string> utf8Arguments;
  std::vector<char*> utf8Pointers;
  int wideCount = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount)) {
    for (int i = 0; i < wideCount; ++i) utf8Arguments.push_back(narrow(wide[i]));
    LocalFree(wide);
    for (std::string& argument : utf8Arguments) utf8Pointers.push_back(argument.data());
    utf8Pointers.push_back(nullptr);
    if (wideCount == argc) argv = utf8Pointers.data();
  }
  if (argc < 2) return usage();
  std::string action = argv[1];
  if (action == "wait-frame") {
    HWND found = waitFor(argc > 2 ? std::atof(argv[2]) : 20, frame);
    if (!found) return 1;
    // The frame exists before it has finished its command line; wait until idle.
    DWORD process = 0;
    GetWindowThreadProcessId(found, &process);
    SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    std::printf("%p\n", static_cast<void*>(found));
    return 0;
  }
  if (action == "clipboard-put" && argc > 2) {
    FILE* file = std::fopen(argv[2], "rb");
    if (!file) return 1;
    std::vector<char> bytes;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) return 1;
    EmptyClipboard();
    bool put = SetClipboardData(CF_WAVE, memory) != nullptr;
    CloseClipboard();
    return put ? 0 : 1;
  }
  if (action == "clipboard-size") {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_WAVE);
    size_t size = 0;
    char head[5] = {};
    if (data) {
      size = GlobalSize(data);
      if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
        std::memcpy(head, bytes, size >= 4 ? 4 : 0);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    std::printf("%zu %s\n", size, head);
    return data ? 0 : 1;
  }
  if (action == "note-list" && argc > 2) {
    FILE* file = std::fopen(argv[2], "ab");
    if (!file) return 1;
    for (int i = 3; i < argc; ++i) std::fprintf(file, "%s\n", argv[i]);
    for (int i = 3; i + 1 < argc; ++i) {
      if (std::strcmp(argv[i], "-list") != 0) continue;
      if (FILE* list = std::fopen(argv[i + 1], "rb")) {
        char line[1024];
        while (std::fgets(line, sizeof line, list)) std::fputs(line, file);
        std::fclose(list);
      }
    }
    std::fclose(file);
    return 0;
  }
  if (action == "note-args" && argc > 2) {
    FILE* file = std::fopen(argv[2], "ab");
    if (!file) return 1;
    for (int i = 3; i < argc; ++i) std::fprintf(file, "%s\n", argv[i]);
    return std::fclose(file) == 0 ? 0 : 1;
  }
  if (action == "wait-gone") {
    double seconds = argc > 2 ? std::atof(argv[2]) : 20;
    for (DWORD waited = 0; waited <= seconds * 1000; waited += 100) {
      // A start with arguments runs on in a second process: wait for every one.
      if (!frame() && !editorProcessRunning()) return 0;
      Sleep(100);
    }
    return 1;
  }
  const bool titleOnly = action == "dialog-controls" || action == "dialog-state";
  if (action.rfind("dialog-", 0) == 0 && (argc > 3 || (titleOnly && argc > 2))) {
    int result = dialogAction(action, argc, argv);
    return result == 2 ? usage() : result;
  }
  HWND frameWindow = frame();
  if (!frameWindow) {
    std::fprintf(stderr, "no editor is running\n");
    return 1;
  }
  if (action == "documents") {
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    for (HWND child = FindWindowExW(mdiClient(frameWindow), nullptr, L"LWaveDocument", nullptr); child;
         child = FindWindowExW(mdiClient(frameWindow), child, L"LWaveDocument", nullptr)) {
      wchar_t title[300] = {};
      GetWindowTextW(child, title, 300);
      std::printf("%s\n", narrow(title).c_str());
    }
    return 0;
  }
  if (action == "activate" && argc > 2) {
    HWND client = mdiClient(frameWindow);
    for (HWND child = FindWindowExW(client, nullptr, L"LWaveDocument", nullptr); child;
         child = FindWindowExW(client, child, L"LWaveDocument", nullptr)) {
      wchar_t title[300] = {};
      GetWindowTextW(child, title, 300);
      if (narrow(title) != argv[2]) continue;
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0, SMTO_NORMAL, 120000, &ignored);
      return 0;
    }
    return 1;
  }
  if (action == "title") {
    wchar_t title[600] = {};
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    GetWindowTextW(frameWindow, title, 600);
    std::printf("%s\n", narrow(title).c_str());
    return 0;
  }
  if (action == "command" && argc > 2) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(frameWindow, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0, SMTO_NORMAL, 120000,
                               &ignored)
               ? 0
               : 1;
  }
  if (action == "post" && argc > 2) {
    PostMessageW(frameWindow, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0);
    return 0;
  }
  if (action == "key" && argc > 2) {
    auto key = static_cast<WPARAM>(std::strtol(argv[2], nullptr, 0));
    PostMessageW(frameWindow, WM_KEYDOWN, key, 1);
    PostMessageW(frameWindow, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    return 0;
  }
  if (action == "field" && argc > 2) {
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    std::pair<int, HWND> search{std::atoi(argv[2]), nullptr};
    EnumChildWindows(frameWindow, findControl, reinterpret_cast<LPARAM>(&search));
    if (!search.second) return 1;
    wchar_t text[256] = {};
    GetWindowTextW(search.second, text, 256);
    std::printf("%s\n", narrow(text).c_str());
    return 0;
  }
  if (action == "answer" && argc > 4) {
    std::wstring title = widen(argv[2]);
    int button = std::atoi(argv[3]);
    double seconds = std::atof(argv[4]);
    for (DWORD waited = 0; waited <= seconds * 1000; waited += 100) {
      if (HWND dialog = findDialog(title)) {
        if (HWND target = dialogControl(dialog, button)) {
          PostMessageW(target, BM_CLICK, 0, 0);
        } else {
          PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        }
        return 0;
      }
      Sleep(100);
    }
    return 1;
  }
  if (action == "handover" && argc > 3) {
    size_t size = std::strtoul(argv[2], nullptr, 0);
    int32_t count = std::atoi(argv[3]);
    std::vector<char> record(size, 'x');  // no terminators anywhere
    if (size >= 4) std::memcpy(record.data(), &count, 4);
    for (int i = 4; i < argc && size >= 4; ++i) {
      size_t slot = 4 + static_cast<size_t>(i - 4) * 260;
      if (slot + 260 > size) break;
      std::memset(record.data() + slot, 0, 260);
      std::strncpy(record.data() + slot, argv[i], 259);
    }
    // The editor keeps a record that comes while a dialog or a long operation
    // has it disabled until they are over; sent when it is idle, the record
    // has been carried out once the send returns.
    for (int waited = 0; !IsWindowEnabled(frameWindow) && waited < 120000; waited += 100) Sleep(100);
    COPYDATASTRUCT data{0, static_cast<DWORD>(size), record.data()};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(frameWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 120000, &ignored);
    return 0;
  }
  if ((action == "click-wave" && argc > 2) || (action == "drag-wave" && argc > 3)) {
    // The active document's main display: the taller of its waveform windows.
    HWND document = reinterpret_cast<HWND>(SendMessageW(mdiClient(frameWindow), WM_MDIGETACTIVE, 0, 0));
    HWND wave = nullptr;
    int tallest = 0;
    for (HWND child = FindWindowExW(document, nullptr, L"LVRWaveWindow", nullptr); child;
         child = FindWindowExW(document, child, L"LVRWaveWindow", nullptr)) {
      RECT box{};
      GetClientRect(child, &box);
      if (box.bottom > tallest) {
        tallest = box.bottom;
        wave = child;
      }
    }
    if (!wave) return 1;
    RECT box{};
    GetClientRect(wave, &box);
    LPARAM at = MAKELPARAM(static_cast<int>(box.right * std::atof(argv[2])), box.bottom / 2);
    LPARAM to = action == "drag-wave" ? MAKELPARAM(static_cast<int>(box.right * std::atof(argv[3])), box.bottom / 2) : at;
    PostMessageW(wave, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (to != at) PostMessageW(wave, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageW(wave, WM_LBUTTONUP, 0, to);
    SendMessageTimeoutW(wave, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    return 0;
  }
  if (action == "button-image" && argc > 2) {
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    std::pair<int, HWND> search{std::atoi(argv[2]), nullptr};
    EnumChildWindows(frameWindow, findControl, reinterpret_cast<LPARAM>(&search));
    if (!search.second) return 1;
    std::printf("%p\n", reinterpret_cast<void*>(SendMessageW(search.second, BM_GETIMAGE, IMAGE_BITMAP, 0)));
    return 0;
  }
  if ((action == "child" && argc > 2) || (action == "child-click" && argc > 3) ||
      (action == "child-maximize" && argc > 2)) {
    SendMessageTimeoutW(frameWindow, WM_NULL, 0, 0, SMTO_NORMAL, 120000, nullptr);
    HWND child = FindWindowExW(mdiClient(frameWindow), nullptr, widen(argv[2]).c_str(), nullptr);
    if (!child) return 1;
    if (action == "child-maximize") {
      DWORD_PTR ignored = 0;
      return SendMessageTimeoutW(mdiClient(frameWindow), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0,
                                 SMTO_NORMAL, 120000, &ignored)
                 ? 0
                 : 1;
    }
    if (action == "child-click") {
      std::pair<int, HWND> search{std::atoi(argv[3]), nullptr};
      EnumChildWindows(child, findControl, reinterpret_cast<LPARAM>(&search));
      if (!search.second) return 1;
      DWORD_PTR ignored = 0;
      return SendMessageTimeoutW(search.second, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored) ? 0 : 1;
    }
    wchar_t text[300] = {};
    GetWindowTextW(child, text, 300);
    std::printf("%s\n", narrow(text).c_str());
    if (argc > 4) {
      RECT box{};
      GetClientRect(child, &box);
      LPARAM at = MAKELPARAM(static_cast<int>(box.right * std::atof(argv[3])),
                             static_cast<int>(box.bottom * std::atof(argv[4])));
      SendMessageTimeoutW(child, WM_MOUSEMOVE, 0, at, SMTO_NORMAL, 120000, nullptr);
      HWND readout = FindWindowExW(child, nullptr, L"STATIC", nullptr);
      text[0] = 0;
      if (readout) GetWindowTextW(readout, text, 300);
      std::printf("%s\n", narrow(text).c_str());
    }
    return 0;
  }
  if (action == "close") {
    PostMessageW(frameWindow, WM_CLOSE, 0, 0);
    return 0;
  }
  return usage();
}
