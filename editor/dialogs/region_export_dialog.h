#pragma once
// "Export Region(s) to Folder": the folder and the format of the files.

#include <windows.h>

#include <string>
#include <vector>

struct RegionExportChoice {
  std::string folder;
  std::string extension;  // ".wav", ".mp3", ...
};

// Starts from choice and leaves the user's answer there; false on Cancel.
bool askRegionExport(HWND owner, const std::vector<std::string>& extensions, RegionExportChoice& choice);
