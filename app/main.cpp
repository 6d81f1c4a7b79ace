// Program entry. The main window is not built yet: this start says so and ends.
#include <cstdio>

int main() {
  std::puts("栖枫视频剪辑工具: the main window is not there yet; this build has the engine only.");
  return 0;
}
