#include "editor/save_as_dialog.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "editor/format_settings.h"
#include "formats/extension.h"
#include "sys/folders.h"
#include "ui/dialog_template.h"
#include "ui/text.h"

namespace {

// The first six keep the places they had, so that a stored choice still
// names the same format.
const wchar_t kSaveFilter[] =
    L"WAVE (*.wav)\0*.wav\0AIFF (*.aif)\0*.aif\0Sun AU (*.au)\0*.au\0GSM 6.10 (*.gsm)\0*.gsm\0"
    L"Dialogic VOX (*.vox)\0*.vox\0Raw audio (*.raw)\0*.raw\0"
    L"MP3 (*.mp3)\0*.mp3\0Ogg Vorbis (*.ogg)\0*.ogg\0FLAC (*.flac)\0*.flac\0AAC (*.aac)\0*.aac\0"
    L"MPEG-4 audio (*.m4a)\0*.m4a\0AMR (*.amr)\0*.amr\0"
    L"M3U playlist with MP3 (*.m3u)\0*.m3u\0PLS playlist with MP3 (*.pls)\0*.pls\0"
    L"WPL playlist with MP3 (*.wpl)\0*.wpl\0RSS podcast feed with MP3 (*.rss)\0*.rss\0";
const char* const kSaveExtensions[] = {".wav", ".aif", ".au",  ".gsm", ".vox", ".raw", ".mp3", ".ogg",
                                       ".flac", ".aac", ".m4a", ".amr", ".m3u", ".pls", ".wpl", ".rss"};
constexpr int kFormatCount = static_cast<int>(std::size(kSaveExtensions));

// The playlists and the feed come last.
constexpr int kAudioFormatCount = 12;

struct HookState {
  const SaveAsDialogRequest* request;
  std::string chosenExtension;  // the format whose options were confirmed
};

// The format the dialog points at: the typed name's extension, else the type list's.
std::string currentExtension(HWND fileDialog) {
  wchar_t typedName[MAX_PATH] = {};
  SendMessageW(fileDialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(typedName));
  std::string typed = lowerExtension(ui::narrow(typedName));
  for (const char* known : kSaveExtensions)
    if (typed == known) return typed;
  LRESULT type = SendDlgItemMessageW(fileDialog, cmb1, CB_GETCURSEL, 0, 0);
  return kSaveExtensions[std::clamp<int>(type == CB_ERR ? 0 : static_cast<int>(type), 0, kFormatCount - 1)];
}

UINT_PTR CALLBACK saveHook(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(child, GWLP_USERDATA, static_cast<LONG_PTR>(dialog->lCustData));
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kFormatOptionsButton && HIWORD(wParam) == BN_CLICKED) {
    auto* state = reinterpret_cast<HookState*>(GetWindowLongPtrW(child, GWLP_USERDATA));
    if (!state || !state->request->settings) return TRUE;
    HWND fileDialog = GetParent(child);
    FormatSettingsRequest settings{currentExtension(fileDialog), state->request->channels,
                                   state->request->sampleRate};
    if (!hasFormatSettings(settings.extension)) {
      ui::showMessage(fileDialog, "This format has no options.", "Format Options", MB_OK | MB_ICONINFORMATION);
    } else if (showFormatSettings(fileDialog, settings, *state->request->settings, state->request->dataFolder)) {
      state->chosenExtension = settings.extension;
    }
    return TRUE;
  }
  return FALSE;
}

// The part below the system's controls that holds the button.
std::vector<WORD> optionsPanel() {
  return ui::DialogTemplate("", 280, 24, WS_CHILD | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT)
      .button(kFormatOptionsButton, "Format Options", 4, 4, 70, 14)
      .build();
}

}  // namespace

SaveAsChoice runSaveAsDialog(const SaveAsDialogRequest& request) {
  SaveAsChoice choice;
  wchar_t path[MAX_PATH] = {};
  std::wstring name = ui::widen(request.initialName);
  wcsncpy(path, name.c_str(), MAX_PATH - 1);
  std::wstring folder = ui::widen(request.initialFolder);
  HookState state{&request, {}};
  // A fixed block: its handle is its address, as the dialog expects of a template handle.
  std::vector<WORD> panel = optionsPanel();
  HGLOBAL panelMemory = GlobalAlloc(GMEM_FIXED, panel.size() * sizeof(WORD));
  if (panelMemory) std::memcpy(panelMemory, panel.data(), panel.size() * sizeof(WORD));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.hInstance = static_cast<HINSTANCE>(panelMemory);
  dialog.lpstrFilter = kSaveFilter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = request.title;
  dialog.lpstrDefExt = L"wav";
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(std::clamp(request.filterIndex, 1, kFormatCount));
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLEHOOK |
                 (panelMemory ? OFN_ENABLETEMPLATEHANDLE : 0) | (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
  dialog.lpfnHook = saveHook;
  dialog.lCustData = reinterpret_cast<LPARAM>(&state);
  const bool saved = GetSaveFileNameW(&dialog);
  if (panelMemory) GlobalFree(panelMemory);
  if (!saved) return choice;

  choice.path = ui::narrow(path);
  choice.filterIndex = static_cast<int>(std::clamp<DWORD>(dialog.nFilterIndex, 1, kFormatCount));
  if (sys::fileNameOf(choice.path).find('.') == std::string::npos)
    choice.path += kSaveExtensions[choice.filterIndex - 1];
  choice.formatChosen = !state.chosenExtension.empty() && state.chosenExtension == lowerExtension(choice.path);
  return choice;
}

std::vector<std::string> audioSaveExtensions() {
  return std::vector<std::string>(std::begin(kSaveExtensions), std::begin(kSaveExtensions) + kAudioFormatCount);
}
