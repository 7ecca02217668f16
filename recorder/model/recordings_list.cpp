#include "recorder/model/recordings_list.h"

#include <cstdio>

#include "recorder/model/recorder_format.h"
#include "sys/folders.h"

namespace recorder {
namespace {

constexpr const char* kPlacementSection = "PlayListDialog";

}  // namespace

std::optional<RecordingRow> recordingRow(const std::string& name, const FileStamp& time, uint64_t bytes) {
  if (name == "." || name == "..") return std::nullopt;
  const RecorderFormatInfo* format = recorderFormat(recorderFormatOfPath(name));
  if (!format) return std::nullopt;
  RecordingRow row;
  row.name = name;
  // The AIFF label of the list is in capitals, unlike the format drop-down's.
  row.format = format->index == kAiff ? "AIFF" : format->label;
  char date[16], clock[16], size[32];
  std::snprintf(date, sizeof date, "%.4d-%.2d-%.2d", time.year, time.month, time.day);
  std::snprintf(clock, sizeof clock, "%.2d:%.2d:%.2d", time.hour, time.minute, time.second);
  std::snprintf(size, sizeof size, "%llu KB", static_cast<unsigned long long>(bytes / 1024));
  row.created = std::string(date) + " " + clock;
  row.size = size;
  return row;
}

RenameCheck checkRename(const std::string& folder, const std::string& newName, const std::string& extension,
                        const std::function<bool(const std::string&)>& exists) {
  if (newName.find_first_not_of(" \t") == std::string::npos) return RenameCheck::Empty;
  return exists(renamedPath(folder, newName, extension)) ? RenameCheck::Exists : RenameCheck::Fine;
}

std::string renamedPath(const std::string& folder, const std::string& newName, const std::string& extension) {
  return sys::joinPath(folder, newName + extension);
}

ListPlacement readListPlacement(const sys::SettingsStore& store) {
  ListPlacement placement;
  placement.maximized = store.readNumber(kPlacementSection, "Maximized", 0) != 0;
  placement.width = static_cast<int>(store.readNumber(kPlacementSection, "Width", 0));
  placement.height = static_cast<int>(store.readNumber(kPlacementSection, "Height", 0));
  if (placement.width < 0 || placement.height < 0 || placement.width > 32767 || placement.height > 32767)
    placement.width = placement.height = 0;
  return placement;
}

void writeListPlacement(sys::SettingsStore& store, const ListPlacement& placement) {
  store.writeNumber(kPlacementSection, "Maximized", placement.maximized ? 1 : 0);
  store.writeNumber(kPlacementSection, "Width", placement.width);
  store.writeNumber(kPlacementSection, "Height", placement.height);
}

}  // namespace recorder
