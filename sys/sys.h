#pragma once
// The system layer: everything the portable code needs from the platform.

#include "sys/codec_stream.h"
#include "sys/environment.h"
#include "sys/file.h"
#include "sys/folder_lock.h"
#include "sys/folders.h"
#include "sys/process.h"
#include "sys/settings_store.h"
#include "sys/threads.h"
