// The application loop, the top-level handler and the control messages of custom controls,
// driven by real window messages.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Timer.h"
#include "tests/win32/BoxRobot.h"

namespace {

constexpr UINT kThrow = WM_APP + 101;
constexpr UINT kAfter = WM_APP + 102;
constexpr UINT kQuit = WM_APP + 103;

// Records what the framework tells it.
class TProbe : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  const char* ClassName() const override { return "TProbe"; }
  std::vector<std::string> log;
  bool handleKeys = true;

  void MouseEnter() override {
    TCustomControl::MouseEnter();
    log.push_back("enter");
  }
  void MouseLeave() override {
    TCustomControl::MouseLeave();
    log.push_back("leave");
  }
  void CancelMode() override {
    TCustomControl::CancelMode();
    log.push_back("cancel");
  }
  void Click() override {
    TCustomControl::Click();
    log.push_back("click");
  }
  bool DialogKey(int key, TShiftState shift) override {
    log.push_back("key " + std::to_string(key) + (shift & ssAlt ? " alt" : ""));
    return handleKeys && key == VK_RETURN;
  }
  bool DialogChar(int ch, TShiftState shift) override {
    log.push_back(std::string("char ") + static_cast<char>(ch) + (shift & ssAlt ? " alt" : ""));
    return handleKeys;
  }
  void FocusChanged(TWinControl* focused) override {
    log.push_back(focused == this ? "focus me" : "focus other");
  }
  void TextChanged() override { log.push_back("text " + Text()); }
  void FontChanged() override {
    TCustomControl::FontChanged();
    log.push_back("font");
  }
  void EnabledChanged() override { log.push_back(Enabled() ? "enabled" : "disabled"); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kThrow) throw Exception("Cannot open file \"x.cx\"");
    if (msg == kAfter) {
      log.push_back("after");
      return 0;
    }
    if (msg == kQuit) {
      Application->Terminate();
      return 0;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
  }
};

class TGraphicProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> log;
  void MouseEnter() override {
    TGraphicControl::MouseEnter();
    log.push_back("enter");
  }
  void MouseLeave() override {
    TGraphicControl::MouseLeave();
    log.push_back("leave");
  }
  void Click() override { log.push_back("click"); }
};

struct ControlMessages : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 200);
    probe = new TProbe(form);
    probe->SetParent(form);
    probe->SetBounds(10, 10, 80, 30);
    probe->SetTabStop(true);
    other = new TProbe(form);
    other->SetParent(form);
    other->SetBounds(10, 60, 80, 30);
    other->SetTabStop(true);
    graphic = new TGraphicProbe(form);
    graphic->SetParent(form);
    graphic->SetBounds(150, 10, 40, 40);
    form->Show();
    Application->ProcessMessages();
    probe->log.clear();
    other->log.clear();
  }
  void TearDown() override { delete form; }
  TForm* form;
  TProbe* probe;
  TProbe* other;
  TGraphicProbe* graphic;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(ControlMessages, LoopEndsOnTerminate) {
  PostMessageW(probe->Handle(), kAfter, 0, 0);
  PostMessageW(probe->Handle(), kQuit, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "after"), 1);
  // The quit request also ends a message pump run inside a handler, and its loop.
  PostMessageW(probe->Handle(), kQuit, 0, 0);
  Application->ProcessMessages();
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(ControlMessages, TheHookSeesMessagesBeforeDispatch) {
  int seen = 0;
  Application->OnMessage = [&](MSG& msg) {
    if (msg.message != kAfter) return false;
    ++seen;
    return seen == 1;  // swallows the first
  };
  PostMessageW(probe->Handle(), kAfter, 0, 0);
  PostMessageW(probe->Handle(), kAfter, 0, 0);
  Application->ProcessMessages();
  Application->OnMessage = nullptr;
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "after"), 1);
}

TEST_F(ControlMessages, TimersTickInTheLoopUntilDisabled) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(10);
  timer.OnTimer = [&](TComponent* sender) {
    EXPECT_EQ(sender, &timer);
    if (++ticks == 3) {
      timer.SetEnabled(false);
      Application->Terminate();
    }
  };
  Application->Run();
  EXPECT_EQ(ticks, 3);
}

TEST_F(ControlMessages, HandlerErrorIsShownAndTheLoopGoesOn) {
  Application->SetTitle("Vexaro 安装向导");
  HWND target = probe->Handle();
  // Once the box is closed, the loop must still take messages.
  BoxRobot robot(L"Vexaro 安装向导", IDOK, [target] {
    PostMessageW(target, kAfter, 0, 0);
    PostMessageW(target, kQuit, 0, 0);
  });
  PostMessageW(target, kThrow, 0, 0);
  Application->Run();
  const BoxSeen& seen = robot.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"Cannot open file \"x.cx\".");
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "after"), 1);
}

TEST_F(ControlMessages, MouseEnterAndLeaveReachWindowedAndGraphicControls) {
  HWND f = form->Handle(), p = probe->Handle();
  SendMessageW(p, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageW(p, WM_MOUSEMOVE, 0, At(6, 5));
  EXPECT_EQ(probe->log, (std::vector<std::string>{"enter"}));
  EXPECT_TRUE(probe->MouseInControl());
  // The pointer moves onto the graphic control: the windowed one is left, the graphic entered.
  SendMessageW(f, WM_MOUSEMOVE, 0, At(160, 20));
  EXPECT_EQ(probe->log, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(graphic->log, (std::vector<std::string>{"enter"}));
  SendMessageW(f, WM_MOUSEMOVE, 0, At(250, 150));
  EXPECT_EQ(graphic->log, (std::vector<std::string>{"enter", "leave"}));
  SendMessageW(p, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageW(p, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(probe->log, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

TEST_F(ControlMessages, PressAndReleaseClicksUnlessCancelled) {
  HWND f = form->Handle(), p = probe->Handle();
  SendMessageW(p, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  SendMessageW(p, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "click"), 1);
  SendMessageW(p, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  SendMessageW(p, WM_CANCELMODE, 0, 0);
  SendMessageW(p, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "click"), 1);
  EXPECT_NE(std::find(probe->log.begin(), probe->log.end(), "cancel"), probe->log.end());
  // Released outside: no click.
  SendMessageW(p, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  SendMessageW(p, WM_LBUTTONUP, 0, At(200, 5));
  EXPECT_EQ(std::count(probe->log.begin(), probe->log.end(), "click"), 1);
  // A graphic control is clicked through its parent.
  SendMessageW(f, WM_LBUTTONDOWN, MK_LBUTTON, At(160, 20));
  SendMessageW(f, WM_LBUTTONUP, 0, At(161, 21));
  EXPECT_EQ(graphic->log.back(), "click");
}

TEST_F(ControlMessages, DialogKeysAndCharactersReachTheControls) {
  probe->SetFocus();
  ASSERT_EQ(GetFocus(), probe->Handle());
  probe->log.clear();
  other->log.clear();
  PostMessageW(probe->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(probe->Handle(), WM_CHAR, 'n', 0);
  PostMessageW(probe->Handle(), WM_SYSCHAR, 'x', 0);
  Application->ProcessMessages();
  EXPECT_EQ(probe->log, (std::vector<std::string>{"key 13", "char n", "char x alt"}));
  // Every control hears the broadcast until one handles it.
  probe->handleKeys = false;
  other->log.clear();
  PostMessageW(probe->Handle(), WM_CHAR, 'q', 0);
  Application->ProcessMessages();
  EXPECT_EQ(other->log, (std::vector<std::string>{"char q"}));
  // Tab, unhandled, moves the focus to the next tab stop; everyone hears of the change.
  probe->log.clear();
  other->handleKeys = false;
  PostMessageW(probe->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Application->ProcessMessages();
  EXPECT_EQ(GetFocus(), other->Handle());
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_EQ(probe->log.back(), "focus other");
  EXPECT_EQ(other->log.back(), "focus me");
}

TEST_F(ControlMessages, ChangeMessagesFollowTheSetters) {
  probe->log.clear();
  probe->SetText("下一步");
  probe->SetText("下一步");  // unchanged: no message
  probe->Font().SetHeight(-15);
  probe->SetEnabled(false);  // disabling a window also cancels its modes
  probe->SetEnabled(true);
  EXPECT_EQ(probe->log, (std::vector<std::string>{"text 下一步", "font", "cancel", "disabled", "enabled"}));
  wchar_t buf[32];
  GetWindowTextW(probe->Handle(), buf, 32);
  EXPECT_STREQ(buf, L"下一步");
  EXPECT_FALSE(probe->ParentFont());
  // A parent's font reaches children that take their parent's font.
  other->log.clear();
  form->Font().SetName("Tahoma");
  EXPECT_EQ(other->Font().Name(), "Tahoma");
  EXPECT_TRUE(other->ParentFont());
  EXPECT_EQ(probe->Font().Name(), "宋体");
}

TEST_F(ControlMessages, EveryWindowIsBoundToItsObject) {
  EXPECT_EQ(TWinControl::FromHandle(probe->Handle()), probe);
  EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form);
  EXPECT_EQ(TWinControl::FromHandle(GetDesktopWindow()), nullptr);
  HWND h = probe->Handle();
  delete probe;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(form->ControlCount(), 2);
}

// A hidden child has no window until it is first shown; then it lies where the layout
// order puts it among its overlapping siblings, above the earlier and below the later ones.
TEST_F(ControlMessages, HiddenChildrenGetTheirWindowsWhenShownInLayoutOrder) {
  auto* middle = new TProbe(form);
  middle->SetVisible(false);
  middle->SetParent(form);
  middle->SetBounds(10, 10, 80, 30);  // over probe, made after other
  auto* last = new TProbe(form);
  last->SetParent(form);
  last->SetBounds(10, 10, 80, 30);  // over both
  EXPECT_TRUE(last->HandleAllocated());
  EXPECT_FALSE(middle->HandleAllocated());
  middle->SetVisible(true);
  ASSERT_TRUE(middle->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(middle->Handle()));
  EXPECT_EQ(GetWindow(last->Handle(), GW_HWNDNEXT), middle->Handle());
  EXPECT_EQ(GetWindow(middle->Handle(), GW_HWNDNEXT), other->Handle());
  // With no later sibling that has a window, it goes on top.
  auto* page = new TForm(nullptr);
  auto* a = new TProbe(page);
  a->SetParent(page);
  auto* b = new TProbe(page);
  b->SetVisible(false);
  b->SetParent(page);
  page->HandleNeeded();
  EXPECT_FALSE(b->HandleAllocated());
  b->SetVisible(true);
  EXPECT_EQ(GetWindow(b->Handle(), GW_HWNDNEXT), a->Handle());
  delete page;
}

}  // namespace
