#pragma once
// The bookmark list of the active file: go to, rename and delete bookmarks.

#include <windows.h>

class DocumentWindow;
class Frame;

void showBookmarkListDialog(Frame& frame, DocumentWindow& document);
