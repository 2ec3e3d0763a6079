// setup.exe: creates the wizard form, which does all the start-up work, and runs the
// message loop until the application is told to terminate.
#include <windows.h>

#include "framework/Application.h"
#include "installer/MainForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    Application->CreateForm<TMainForm>();
  } catch (...) {
    Application->HandleException();
    return 1;
  }
  Application->Run();
  return 0;
}
