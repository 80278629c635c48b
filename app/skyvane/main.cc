#include <cstdio>

int main() {
  std::printf("skyvane %s\n", SKYVANE_VERSION);
  return 0;
}
