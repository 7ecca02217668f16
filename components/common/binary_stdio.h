#pragma once
// Standard input and output carry raw samples: no text-mode translation.
namespace components {
void setBinaryStdio();
}
