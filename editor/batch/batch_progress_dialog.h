#pragma once
// The run of a batch in a window of its own ("Batch Converting"): which file
// is at hand, a bar over the files, each file's result as it comes (in list
// order), and Cancel, which stops every worker. The work runs on threads, so
// the window and the editor stay responsive; it closes with "Close".

#include <windows.h>

#include <string>

#include "editor/model/batch_output.h"
#include "editor/model/batch_run.h"

// The result of the run: Done, Cancelled or Failed (a file failed).
JobResult runBatchWithProgress(HWND owner, BatchRunRequest request, const BatchDefaults& defaults);

// "Replace", "Skip", "Replace All" or "Cancel" for an output that exists.
ReplaceAnswer askReplaceOutput(HWND owner, const std::string& path);
