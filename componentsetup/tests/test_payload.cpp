// The program the test installers carry: it only says what it is, so tests
// can tell an installed copy from anything else.
#include <cstdio>

int main() {
  std::puts("component test payload");
  return 0;
}
