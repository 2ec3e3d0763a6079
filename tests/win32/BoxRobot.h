// Finds a message box (#32770) by caption from a helper thread, reads its texts and presses
// one of its buttons, as the end-to-end robot does.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

struct BoxSeen {
  bool found = false;
  std::wstring text;        // the static with ID 65535
  std::wstring yes, no, ok;  // button texts by ID 6, 7 and 1
};

class BoxRobot {
 public:
  // Starts looking at once; presses the button with ID `press` when the box appears.
  // after runs on the robot's thread once the button is pressed.
  BoxRobot(std::wstring caption, int press, std::function<void()> after = {})
      : caption_(std::move(caption)), press_(press), after_(std::move(after)), thread_([this] { Work(); }) {}
  ~BoxRobot() {
    if (thread_.joinable()) thread_.join();
  }
  const BoxSeen& Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  static std::wstring Text(HWND w) {
    if (!w) return L"<none>";
    wchar_t buf[512] = {};
    GetWindowTextW(w, buf, 512);
    return buf;
  }
  void Work() {
    for (int i = 0; i < 500; ++i) {
      HWND box = FindWindowW(L"#32770", caption_.c_str());
      if (box && IsWindowVisible(box)) {
        seen_.found = true;
        seen_.text = Text(GetDlgItem(box, 0xFFFF));
        seen_.yes = Text(GetDlgItem(box, IDYES));
        seen_.no = Text(GetDlgItem(box, IDNO));
        seen_.ok = Text(GetDlgItem(box, IDOK));
        SendMessageW(GetDlgItem(box, press_), BM_CLICK, 0, 0);
        if (after_) after_();
        return;
      }
      Sleep(20);
    }
  }
  std::wstring caption_;
  int press_;
  std::function<void()> after_;
  BoxSeen seen_;
  std::thread thread_;
};
