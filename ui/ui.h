#pragma once
// The window library the programs share.

#include "ui/component_download.h"
#include "ui/dialog.h"
#include "ui/dialog_template.h"
#include "ui/gdi_objects.h"
#include "ui/import_progress.h"
#include "ui/notifier_window.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"
#include "ui/worker_thread.h"
