#pragma once
// The "Batch Converter" window (command 7003): three steps (files, commands,
// output) and Finish, which checks the settings and runs the batch.

#include <windows.h>

#include <string>
#include <vector>

class Frame;

// Sent to the open window: take the files queued since.
constexpr UINT kBatchTakeQueuedFiles = WM_USER + 77;
// Posted to the frame after "-batch" queued a file: open the window, or hand
// the queue to it.
constexpr UINT kBatchFilesQueued = WM_USER + 21;

void queueBatchFile(const std::string& path);
// The open window, or null.
HWND batchConverterWindow();
// Opens the window (modal) with the queued files, or hands the queue to the
// window that is open.
void openBatchConverter(Frame& frame);
// A hand-over made only of "-batch" steps, while the window is open: its
// files join the list and the window comes to the front. False for any
// other hand-over, or with the window closed.
bool handFilesToBatchConverter(const std::vector<std::string>& arguments);
