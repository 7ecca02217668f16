#pragma once
// The dialogs of the batch converter's command list: "Add Command", and the
// settings of one command (the command's own effect dialog, whose values
// become the command's parameter block).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/model/batch_commands.h"
#include "sys/settings_store.h"

// The chosen command indexes, in list order; empty when cancelled.
std::vector<uint32_t> askBatchCommandsToAdd(HWND owner);

// Opens the command's dialog showing its values; on OK the command carries
// the values chosen. The stored values the dialogs keep for the menu
// commands are left as they were. False when cancelled or the command has
// no settings.
bool editBatchCommandSettings(HWND owner, sys::SettingsStore& store, const std::string& dataFolder,
                              BatchCommand& command);
