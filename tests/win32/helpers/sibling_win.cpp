// Stands in for a sibling program: it only waits, so a test can end it by name.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Sleep(120000);
  return 0;
}
