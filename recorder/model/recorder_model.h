#pragma once
// What the recorder's program and option pages use of its model.

#include "recorder/model/name_pattern.h"
#include "recorder/model/option_checks.h"
#include "recorder/model/recorder_command_line.h"
#include "recorder/model/recorder_format.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/model/recording_time.h"
#include "sys/command_line_args.h"
