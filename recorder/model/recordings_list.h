#pragma once
// What the recordings list shows and checks, apart from any window: the row
// of each recording of the output folder, the rename rules and the
// window's remembered size.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sys/settings_store.h"

namespace recorder {

struct FileStamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct RecordingRow {
  std::string name;     // the file's name, extension included
  std::string format;   // "Wav", "Mp3", "AIFF"
  std::string created;  // "2024-03-05 09:04:07"
  std::string size;     // "12 KB", kilobytes rounded down
};

// The row of a file of the output folder; nothing for a file whose
// extension is not one of the recorder's formats.
std::optional<RecordingRow> recordingRow(const std::string& name, const FileStamp& time, uint64_t bytes);

enum class RenameCheck { Fine, Empty, Exists };
// A new name (without extension) for a recording of the given extension in
// folder; exists answers for a full path.
RenameCheck checkRename(const std::string& folder, const std::string& newName, const std::string& extension,
                        const std::function<bool(const std::string&)>& exists);
// The full path a rename gives: the new name with the old extension.
std::string renamedPath(const std::string& folder, const std::string& newName, const std::string& extension);

// The list window's size, kept in "PlayListDialog".
struct ListPlacement {
  bool maximized = false;
  int width = 0;   // 0: the window's own size
  int height = 0;
};
ListPlacement readListPlacement(const sys::SettingsStore& store);
void writeListPlacement(sys::SettingsStore& store, const ListPlacement& placement);

}  // namespace recorder
