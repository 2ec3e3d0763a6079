// The skin gallery: one window showing every themed control of the skin library, for people
// who want to use the library in their own programs. Blue.ssk beside the program is the
// sample file theme; any other skin file can be opened from the window.
#include <windows.h>

#include "framework/Application.h"
#include "skin/gallery/GalleryForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Application->SetTitle("皮肤控件库演示");
  try {
    Application->CreateForm<TGalleryForm>();
  } catch (...) {
    Application->HandleException();
    return 1;
  }
  Application->Run();
  return 0;
}
