#include "binary_stdio.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace components {
void setBinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}
}  // namespace components
