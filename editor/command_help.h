#pragma once

// The status-bar help text of a command, or null when it has none.
const char* commandHelp(int id);
