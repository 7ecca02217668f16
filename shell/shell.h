#pragma once
// Setup and shell integration: file associations and verbs, the start
// templates, starting sibling programs, the update check.

#include "shell/burn_list.h"
#include "shell/command_template.h"
#include "shell/file_associations.h"
#include "shell/file_types.h"
#include "shell/shell_registration.h"
#include "shell/sibling_program.h"
#include "shell/update_check.h"
