#pragma once
// The three steps of the "Batch Converter" window, each a child dialog of
// the window: the files, the command list (with its script file), and the
// output format and folder.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/model/batch_commands.h"
#include "editor/model/batch_output.h"
#include "sys/settings_store.h"
#include "ui/dialog.h"

// What the pages build together.
struct BatchConverterState {
  sys::SettingsStore& store;
  std::string dataFolder;
  std::vector<std::string> files;
  std::vector<BatchCommand> commands;
  std::string scriptPath;  // empty: never saved
  bool commandsChanged = false;
  BatchOutputSettings output;

  BatchDefaults defaults() const { return {store, dataFolder}; }
};

class BatchPage : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;
  HWND create(HWND parent) { return createModeless(parent); }
  // Takes what the page shows into the state; false keeps the user there.
  virtual bool apply() { return true; }
  // Shows the state again after it changed from outside the page.
  virtual void refresh() {}
};

std::unique_ptr<BatchPage> makeBatchFilesPage(BatchConverterState& state);
std::unique_ptr<BatchPage> makeBatchCommandsPage(BatchConverterState& state);
std::unique_ptr<BatchPage> makeBatchOutputPage(BatchConverterState& state);

// Adds files to the list the first page shows (not twice).
void addBatchFiles(BatchConverterState& state, BatchPage& filesPage, const std::vector<std::string>& paths);

// "Do you want to save the command list?" when it changed since it was
// saved: Yes saves (Save As when it has no file yet). False when the user
// cancelled or the save failed.
bool offerToSaveCommands(HWND owner, BatchConverterState& state);
