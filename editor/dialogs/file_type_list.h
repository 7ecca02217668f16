#pragma once
// The options' list of sound file types, one check box each: checked when
// files of the type open in the editor. Applying it associates the newly
// checked types and gives the unchecked ones back to their programs.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "shell/file_associations.h"

// The list view's style in a dialog template.
constexpr DWORD kFileTypeListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                                     LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

void fillFileTypeList(HWND list, const shell::FileAssociations& associations, const std::string& programPath);
// False when an association could not be changed.
bool applyFileTypeList(HWND list, shell::FileAssociations& associations, const std::string& programPath);
