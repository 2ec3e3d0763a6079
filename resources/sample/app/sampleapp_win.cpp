// The sample product's main program: a window that says which product it is and with
// which arguments it was started. It only has to be a real program for its shortcuts.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  wchar_t text[512];
  wsprintfW(text, L"Vexaro U\u76d8\u52a0\u5bc6 3.2.0\n\n%s", args && *args ? args : L"");
  MessageBoxW(nullptr, text, L"KORVA-Y", MB_OK | MB_ICONINFORMATION);
  return 0;
}
