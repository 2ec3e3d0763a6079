// The themed button under real messages: hover, press and release, keys, dialog keys,
// accelerators, the repeat timer, modal results, auto-size, stored layouts, and its paint
// checked pixel by pixel on a DIB. Also renders every state of every style into one picture
// under the build folder, for a person to look at.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/FileUtil.h"
#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/StdCtrls.h"
#include "framework/Text.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/VELButton.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"

namespace {

// A parent that paints one flat colour, so see-through parts of a face can be told apart.
class TBackdrop : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  TColor Fill = 0x00E0C0A0;
  void Paint(TCanvas& canvas) override {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Fill;
    canvas.FillRect(ClientRect());
  }
};

// Sets the state flags directly, for rendering each look without driving the mouse.
class TProbeButton : public TvelButton {
 public:
  using TvelButton::TvelButton;
  void SetLook(bool hot, bool pressed) {
    hot_ = hot;
    pressed_ = pressed;
  }
};

// Dispatches what is queued, through the framework's loop, for about ms milliseconds.
void Pump(int ms = 30) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    Application->ProcessMessages();
    Sleep(2);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// Holds a key down in this thread's keyboard state (posted messages do not change it).
class HeldKey {
 public:
  explicit HeldKey(int vk) : vk_(vk) { Set(0x80); }
  ~HeldKey() { Set(0); }

 private:
  void Set(BYTE v) {
    BYTE state[256];
    GetKeyboardState(state);
    state[vk_] = v;
    SetKeyboardState(state);
  }
  int vk_;
};

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

TBitmap Render(TvelCustomButton& button) {
  TBitmap out(button.Width(), button.Height());
  {
    TBitmapCanvas canvas(out);
    button.Paint(canvas);
  }
  GdiFlush();
  return out;
}

// What the face alone looks like: the frame's nine grid over a fill.
TBitmap ExpectedFace(TvelUIStyle style, int frame, int width, int height, uint32_t fill, bool transparent) {
  TBitmap face, out(width, height);
  GetThemeBitmap(style, 1, &face, 3, frame);
  FillRectColor(out, {0, 0, width, height}, fill);
  DrawNineGrid(out, face, {0, 0, width, height}, transparent);
  return out;
}

int CountDifferent(const TBitmap& a, const TBitmap& b, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  return n;
}

int CountColour(const TBitmap& a, uint32_t pixel) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) == pixel;
  return n;
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterVelButtonClasses();
    Application->OnException = [this](const std::string& text) { errors.push_back(text); };
    // The pointer stays away from the form unless a test moves it there.
    SetCursorPos(1000, 900);
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 420, 260);
    back = new TBackdrop(form.get());
    back->SetParent(form.get());
    back->SetBounds(0, 0, 420, 260);
  }
  void TearDown() override {
    form.reset();
    Pump(10);
    Application->OnException = nullptr;
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  TvelButton* AddButton(const std::string& caption, int left, TvelUIStyle style = TvelUIStyle::DeepBlue) {
    auto* b = new TvelButton(form.get());
    b->SetParent(back);
    b->SetBounds(left, 20, 91, 30);
    b->SetUIStyle(style);
    b->SetCaption(caption);
    b->OnClick = [this, b](TComponent*) { clicks.push_back(b); };
    return b;
  }
  void ShowForm() {
    form->Show();
    Pump(50);
  }
  int ClicksOf(TvelButton* b) const {
    int n = 0;
    for (auto* c : clicks) n += c == b;
    return n;
  }

  std::unique_ptr<TForm> form;
  TBackdrop* back = nullptr;
  std::vector<TvelButton*> clicks;
  std::vector<std::string> errors;
};

TEST_F(ButtonTest, HoverTracksEnterAndLeave) {
  TvelButton* b = AddButton("Hover", 20);
  int entered = 0, exited = 0;
  b->OnMouseEnter = [&](TComponent* s) {
    EXPECT_EQ(s, b);
    EXPECT_TRUE(b->Hot());  // the look changes before the event fires
    ++entered;
  };
  b->OnMouseExit = [&](TComponent*) { ++exited; };
  ShowForm();
  POINT screen{40, 30};
  ClientToScreen(back->Handle(), &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(b->Handle(), WM_MOUSEMOVE, 0, Point(20, 10));
  Pump();
  EXPECT_TRUE(b->Hot());
  EXPECT_GE(entered, 1);
  SetCursorPos(1000, 900);
  PostMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
  Pump();
  EXPECT_FALSE(b->Hot());
  EXPECT_GE(exited, 1);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, PressAndReleaseInsideClicksOnce) {
  TvelButton* b = AddButton("Press", 20);
  ShowForm();
  PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  Pump();
  EXPECT_TRUE(b->Pressed());
  EXPECT_TRUE(b->RepeatTimerExists());
  EXPECT_EQ(GetFocus(), b->Handle());  // a press takes the focus
  PostMessageW(b->Handle(), WM_LBUTTONUP, 0, Point(10, 10));
  Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->RepeatTimerExists());
  EXPECT_EQ(ClicksOf(b), 1);
}

TEST_F(ButtonTest, ReleaseOutsideDoesNotClick) {
  TvelButton* b = AddButton("Out", 20);
  ShowForm();
  PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  PostMessageW(b->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(200, 100));
  Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->Hot());
  PostMessageW(b->Handle(), WM_LBUTTONUP, 0, Point(200, 100));
  Pump();
  EXPECT_EQ(ClicksOf(b), 0);
  EXPECT_FALSE(b->Pressed());
}

TEST_F(ButtonTest, RightButtonNeitherPressesNorClicks) {
  TvelButton* b = AddButton("Right", 20);
  int downs = 0;
  b->OnMouseDown = [&](TComponent*, TMouseButton button, TShiftState, int, int) { downs += button == mbRight; };
  ShowForm();
  PostMessageW(b->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, Point(10, 10));
  Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->RepeatTimerExists());
  EXPECT_EQ(downs, 1);  // the framework's event still fires
  PostMessageW(b->Handle(), WM_RBUTTONUP, 0, Point(10, 10));
  Pump();
  EXPECT_EQ(ClicksOf(b), 0);
}

TEST_F(ButtonTest, SpaceAndEnterOnTheFocusedButton) {
  TvelButton* a = AddButton("A", 20);
  TvelButton* b = AddButton("B", 120);
  ShowForm();
  b->SetFocus();
  Pump();
  PostMessageW(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  Pump();
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(ClicksOf(b), 0);  // Space clicks when it comes up
  PostMessageW(b->Handle(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(ClicksOf(b), 1);
  // Enter goes through the dialog keys: the focused themed button is the active one.
  EXPECT_TRUE(b->Active());
  EXPECT_FALSE(a->Active());
  PostMessageW(b->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(ClicksOf(b), 2);
  EXPECT_EQ(ClicksOf(a), 0);
  // A key up without a key down on this button does not click.
  PostMessageW(b->Handle(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_EQ(ClicksOf(b), 2);
}

TEST_F(ButtonTest, DefaultAndCancelAnswerDialogKeys) {
  auto* edit = new TEdit(form.get());
  edit->SetParent(back);
  edit->SetBounds(20, 100, 120, 22);
  edit->SetTabStop(true);
  TvelButton* ok = AddButton("OK", 20);
  TvelButton* cancel = AddButton("Cancel", 120);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  ShowForm();
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->Active());
  EXPECT_FALSE(cancel->Active());

  PostMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(ClicksOf(ok), 1);
  {
    HeldKey ctrl(VK_CONTROL);
    PostMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
  }
  EXPECT_EQ(ClicksOf(ok), 1);  // Ctrl+Enter and Ctrl+Esc do nothing here
  EXPECT_EQ(ClicksOf(cancel), 0);
  PostMessageW(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(ClicksOf(cancel), 1);

  // With another themed button focused, Enter is that button's, not the default one's.
  cancel->SetFocus();
  Pump();
  EXPECT_FALSE(ok->Active());
  PostMessageW(cancel->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(ClicksOf(ok), 1);
  EXPECT_EQ(ClicksOf(cancel), 2);

  // Turning Default off while an edit has the focus takes Enter away at once.
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->Active());
  ok->SetDefault(false);
  EXPECT_FALSE(ok->Active());
  PostMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(ClicksOf(ok), 1);
}

TEST_F(ButtonTest, AcceleratorNeedsAThemedFocusOrAlt) {
  auto* edit = new TEdit(form.get());
  edit->SetParent(back);
  edit->SetBounds(20, 100, 120, 22);
  edit->SetTabStop(true);
  TvelButton* next = AddButton("&Next", 20);
  TvelButton* other = AddButton("Other", 120);
  ShowForm();
  EXPECT_EQ(SendMessageW(next->Handle(), WM_ISSKINBUTTON, 0, 0), 1);
  EXPECT_EQ(SendMessageW(edit->Handle(), WM_ISSKINBUTTON, 0, 0), 0);

  edit->SetFocus();
  Pump();
  PostMessageW(edit->Handle(), WM_CHAR, 'n', 0);  // typed into the edit
  Pump();
  EXPECT_EQ(ClicksOf(next), 0);
  PostMessageW(edit->Handle(), WM_SYSCHAR, 'N', 0);  // Alt+N
  Pump();
  EXPECT_EQ(ClicksOf(next), 1);

  other->SetFocus();
  Pump();
  PostMessageW(other->Handle(), WM_CHAR, 'n', 0);  // a plain letter while a themed button has focus
  Pump();
  EXPECT_EQ(ClicksOf(next), 2);
  PostMessageW(other->Handle(), WM_CHAR, 'x', 0);
  Pump();
  EXPECT_EQ(ClicksOf(next), 2);
  EXPECT_EQ(ClicksOf(other), 0);

  next->SetEnabled(false);
  PostMessageW(other->Handle(), WM_SYSCHAR, 'n', 0);
  Pump();
  EXPECT_EQ(ClicksOf(next), 2);  // a disabled button ignores its accelerator
}

TEST_F(ButtonTest, RepeatTimerTicksWhileHeld) {
  TvelButton* b = AddButton("Repeat", 20);
  int ticks = 0;
  b->OnMouseContinuouslyDown = [&](TComponent* s) {
    EXPECT_EQ(s, b);
    ++ticks;
  };
  b->SetMouseContinuouslyDownInterval(15);
  ShowForm();
  PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  // Several intervals; the exact count depends on the scheduler.
  Pump(400);
  EXPECT_GE(ticks, 1);
  PostMessageW(b->Handle(), WM_LBUTTONUP, 0, Point(10, 10));
  Pump();
  const int atRelease = ticks;
  Pump(150);
  EXPECT_EQ(ticks, atRelease);  // the click freed the timer
  EXPECT_EQ(ClicksOf(b), 1);
}

TEST_F(ButtonTest, RepeatTimerWithoutPositiveIntervalNeverTicks) {
  TvelButton* b = AddButton("Repeat", 20);
  int ticks = 0;
  b->OnMouseContinuouslyDown = [&](TComponent*) { ++ticks; };
  ShowForm();
  for (int interval : {0, -5}) {
    b->SetMouseContinuouslyDownInterval(interval);
    PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
    Pump(250);
    EXPECT_TRUE(b->RepeatTimerExists());
    PostMessageW(b->Handle(), WM_LBUTTONUP, 0, Point(10, 10));
    Pump();
  }
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(ClicksOf(b), 2);
}

TEST_F(ButtonTest, LeavingFreesTheTimerAndCancelModeDropsThePress) {
  TvelButton* b = AddButton("Repeat", 20);
  ShowForm();
  PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  Pump();
  ASSERT_TRUE(b->RepeatTimerExists());
  b->MouseLeave();
  EXPECT_FALSE(b->RepeatTimerExists());
  EXPECT_FALSE(b->Pressed());
  PostMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
  Pump();
  ASSERT_TRUE(b->Pressed());
  SendMessageW(b->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(b->Pressed());
  EXPECT_FALSE(b->Hot());
  EXPECT_FALSE(b->RepeatTimerExists());
}

TEST_F(ButtonTest, EveryClickSetsTheFormsModalResultEvenToZero) {
  TvelButton* yes = AddButton("Yes", 20);
  TvelButton* plain = AddButton("Plain", 120);
  yes->SetModalResult(6);
  ShowForm();
  yes->Click();
  EXPECT_EQ(FormModalResult(*form), 6);
  plain->Click();
  EXPECT_EQ(FormModalResult(*form), 0);  // cancels the earlier result
  EXPECT_EQ(ClicksOf(yes), 1);
  EXPECT_EQ(ClicksOf(plain), 1);
}

TEST_F(ButtonTest, AutoSizeTakesOneBuiltinFrame) {
  struct Row {
    TvelUIStyle style;
    int w, h;
  } rows[] = {{TvelUIStyle::FromThemeFile, 24, 21}, {TvelUIStyle::BlueGlass, 77, 27}, {TvelUIStyle::WinXP, 18, 21},
              {TvelUIStyle::MacOS, 84, 23}};
  for (const Row& r : rows) {
    TvelButton* b = AddButton("Auto", 20, r.style);
    b->SetAutoSize(true);
    EXPECT_EQ(b->Width(), r.w) << static_cast<int>(r.style);
    EXPECT_EQ(b->Height(), r.h) << static_cast<int>(r.style);
    // A later style change keeps the size: AutoSize acts only when it is assigned.
    b->SetUIStyle(TvelUIStyle::DeepBlue);
    EXPECT_EQ(b->Width(), r.w);
    delete b;
  }
  TvelButton* off = AddButton("Off", 20, TvelUIStyle::BlueGlass);
  off->SetAutoSize(false);
  EXPECT_EQ(off->Width(), 91);
}

TEST_F(ButtonTest, StyleSetsTransparencyAndCaptionColour) {
  struct Row {
    TvelUIStyle style;
    bool transparent;
  } rows[] = {{TvelUIStyle::MacOS, true},    {TvelUIStyle::WinXP, true},     {TvelUIStyle::DeepBlue, false},
              {TvelUIStyle::Protein, false}, {TvelUIStyle::BlueGlass, true},
              {TvelUIStyle::FromThemeFile, false}};  // no file theme: DeepBlue's values
  TvelButton* b = AddButton("Style", 20);
  for (const Row& r : rows) {
    b->Font().SetColor(clRed);
    b->SetUIStyle(r.style);
    EXPECT_EQ(b->Transparent(), r.transparent) << static_cast<int>(r.style);
    EXPECT_EQ(b->Font().Color(), clBlack) << static_cast<int>(r.style);
  }
  // A fresh button starts with its style's values.
  auto fresh = std::make_unique<TvelButton>(nullptr);
  EXPECT_EQ(fresh->UIStyle(), TvelUIStyle::DeepBlue);
  EXPECT_FALSE(fresh->Transparent());
  EXPECT_EQ(fresh->Width(), 80);
  EXPECT_EQ(fresh->Height(), 27);
  EXPECT_EQ(fresh->Spacing(), 4);
  EXPECT_EQ(fresh->FocusedRectMargin(), 2);
  EXPECT_EQ(fresh->MouseContinuouslyDownInterval(), 100);
  EXPECT_TRUE(fresh->TabStop());
  EXPECT_TRUE(fresh->Glyph().Empty());
}

TEST_F(ButtonTest, LayoutAppliesPropertiesInStreamingOrder) {
  int clicked = 0;
  form->AddMethod("velButton2Click", TNotifyEvent([&](TComponent*) { ++clicked; }));
  TvelButton* bound = nullptr;
  form->BindField("velButton2", bound);
  form->LoadLayout(R"(object Form: TForm
  object velButton2: TvelButton
    Left = 320
    Top = 250
    Width = 89
    Height = 30
    UIStyle = BlueGlass
    Caption = '下一步'
    Font.Charset = ANSI_CHARSET
    Font.Color = clRed
    Font.Height = -11
    Font.Name = 'Tahoma'
    TabOrder = 2
    Transparent = False
    ModalResult = mrOk
    AutoSize = False
    FocusedRectMargin = 3
    Layout = blGlyphTop
    Spacing = 6
    MouseContinuouslyDownInterval = 50
    OnClick = velButton2Click
    ResHandle = 77
  end
  object velButton3: TvelButton
    Font.Color = clRed
    UIStyle = MacOS
  end
end)");
  ASSERT_NE(bound, nullptr);
  EXPECT_EQ(bound->UIStyle(), TvelUIStyle::BlueGlass);
  EXPECT_EQ(bound->CaptionText(), "下一步");
  EXPECT_EQ(bound->Text(), "下一步");
  EXPECT_EQ(bound->Font().Color(), clRed);  // stored after UIStyle, so it stays
  EXPECT_FALSE(bound->Transparent());       // likewise
  EXPECT_EQ(bound->ModalResult(), 1);
  EXPECT_EQ(bound->FocusedRectMargin(), 3);
  EXPECT_EQ(bound->Layout(), blGlyphTop);
  EXPECT_EQ(bound->Spacing(), 6);
  EXPECT_EQ(bound->MouseContinuouslyDownInterval(), 50);
  EXPECT_EQ(bound->Width(), 89);
  auto* later = dynamic_cast<TvelButton*>(form->FindComponent("velButton3"));
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->Font().Color(), clBlack);  // UIStyle stored after the colour overrides it
  EXPECT_TRUE(later->Transparent());
  bound->Click();
  EXPECT_EQ(clicked, 1);
  EXPECT_ANY_THROW(form->LoadLayout("object F: TForm\n object B: TvelButton\n UIStyle = Plastic\n end\nend"));
}

TEST_F(ButtonTest, CaptionFollowsTheWindowText) {
  TvelButton* b = AddButton("Before", 20);
  ShowForm();
  SetWindowTextW(b->Handle(), L"取消");
  EXPECT_EQ(b->CaptionText(), "取消");
  b->SetCaption("同意");
  wchar_t text[16] = {};
  GetWindowTextW(b->Handle(), text, 16);
  EXPECT_EQ(std::wstring(text), L"同意");
}

// ---------------------------------------------------------------- painting

TEST_F(ButtonTest, EraseBackgroundIsSwallowed) {
  TvelButton* b = AddButton("Erase", 20);
  ShowForm();
  TBitmap target(91, 30);
  target.Fill(0x123456);
  {
    TBitmapCanvas canvas(target);
    EXPECT_EQ(SendMessageW(b->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), 0), 1);
  }
  GdiFlush();
  EXPECT_EQ(CountColour(target, 0x123456), 91 * 30);
}

TEST_F(ButtonTest, PaintShowsTheFrameOfEachState) {
  TProbeButton* b = new TProbeButton(form.get());
  b->SetParent(back);
  b->SetBounds(20, 20, 91, 30);
  b->SetUIStyle(TvelUIStyle::DeepBlue);  // opaque: the fill is the button's own colour
  b->SetTabStop(false);                  // no focus mark in the way
  ShowForm();
  const uint32_t fill = ResolveSystemColor(b->Color());
  struct Row {
    const char* what;
    bool enabled, hot, pressed;
    int frame;
  } rows[] = {{"normal", true, false, false, 1},
              {"hot", true, true, false, 2},
              {"pressed", true, true, true, 3},
              {"disabled", false, true, true, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    b->SetEnabled(r.enabled);
    b->SetLook(r.hot, r.pressed);
    const TBitmap expected = ExpectedFace(TvelUIStyle::DeepBlue, r.frame, 91, 30, fill, false);
    EXPECT_EQ(CountDifferent(Render(*b), expected, {0, 0, 91, 30}), 0);
  }
  // The three frames really differ, so the comparison above tells them apart.
  EXPECT_GT(CountDifferent(ExpectedFace(TvelUIStyle::DeepBlue, 1, 91, 30, fill, false),
                           ExpectedFace(TvelUIStyle::DeepBlue, 2, 91, 30, fill, false), {0, 0, 91, 30}),
            0);
}

TEST_F(ButtonTest, CustomButtonDrawsItsFaceUnscaledAndEmbossedWhenDisabled) {
  auto* b = new TvelCustomButton(form.get());
  b->SetParent(back);
  b->SetBounds(20, 20, 91, 30);
  b->SetTabStop(false);
  ShowForm();
  TBitmap face;
  GetThemeBitmap(TvelUIStyle::DeepBlue, 1, &face, 3, 1);  // 74 x 21
  const uint32_t fill = ResolveSystemColor(b->Color());
  const TBitmap on = Render(*b);
  EXPECT_EQ(on.GetPixel(0, 0), face.GetPixel(0, 0));
  EXPECT_EQ(on.GetPixel(73, 20), face.GetPixel(73, 20));
  EXPECT_EQ(on.GetPixel(80, 25), fill);  // beyond the face: the fill
  b->SetEnabled(false);
  const TBitmap off = Render(*b);
  EXPECT_EQ(off.GetPixel(80, 25), fill);
  EXPECT_GT(CountColour(off, 0x808080), 0);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 74; ++x) {
      const uint32_t px = off.GetPixel(x, y);
      ASSERT_TRUE(px == 0x808080 || px == 0xFFFFFF || px == fill) << x << "," << y;
    }
}

TEST_F(ButtonTest, TransparentFaceShowsTheParentThroughItsKeyPixels) {
  TvelButton* b = AddButton("", 20, TvelUIStyle::BlueGlass);
  ShowForm();
  ASSERT_TRUE(b->Transparent());
  const TBitmap out = Render(*b);
  // The rounded corner's fuchsia pixels let the backdrop through.
  EXPECT_EQ(out.GetPixel(0, 0), ColorToPixel(back->Fill));
  EXPECT_EQ(CountColour(out, 0xFF00FF), 0);
  b->SetTransparent(false);
  const TBitmap opaque = Render(*b);
  EXPECT_EQ(opaque.GetPixel(0, 0), 0xFF00FFu);  // corners copied as they are
}

TEST_F(ButtonTest, FocusMarkIsARectangleOrABoldCaptionByStyle) {
  struct Row {
    TvelUIStyle style;
    bool rectangle;
  } rows[] = {{TvelUIStyle::DeepBlue, true}, {TvelUIStyle::WinXP, true},    {TvelUIStyle::Protein, true},
              {TvelUIStyle::MacOS, false},   {TvelUIStyle::BlueGlass, false}};
  TvelButton* b = AddButton("Focus", 20);
  TvelButton* other = AddButton("Other", 200);
  b->SetTransparent(false);
  ShowForm();
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.style));
    b->SetUIStyle(r.style);
    b->SetTransparent(false);
    other->SetFocus();
    Pump(5);
    const TBitmap plain = Render(*b);
    b->SetFocus();
    Pump(5);
    ASSERT_TRUE(b->Focused());
    const TBitmap focused = Render(*b);
    // The dotted rectangle runs along the margin (2 pixels in) on the left edge.
    const int onMargin = CountDifferent(plain, focused, {2, 2, 3, 28});
    const int caption = CountDifferent(plain, focused, {20, 6, 71, 24});
    if (r.rectangle) {
      EXPECT_GT(onMargin, 5);
      EXPECT_EQ(caption, 0);
    } else {
      EXPECT_EQ(onMargin, 0);
      EXPECT_GT(caption, 0);  // the caption turned bold
    }
  }
}

// A page control whose left part is red and the rest green, so where it shows under a
// button tells the offset used.
class TTwoToneTabs : public TPageControl {
 public:
  using TPageControl::TPageControl;
  void Paint(TCanvas& canvas) override {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clLime;
    canvas.FillRect(ClientRect());
    canvas.Brush.Color = clRed;
    canvas.FillRect({0, 0, 100, 90});
  }
};

TEST_F(ButtonTest, SeeThroughButtonOnATabSheetShowsThePageControlUnderItself) {
  auto* pages = new TTwoToneTabs(form.get());
  pages->SetParent(back);
  pages->SetBounds(0, 0, 400, 250);
  auto* sheet = new TTabSheet(form.get());
  sheet->SetPageControl(pages);
  auto* b = new TvelButton(form.get());
  b->SetParent(sheet);
  b->SetBounds(120, 100, 91, 30);
  b->SetUIStyle(TvelUIStyle::BlueGlass);
  ShowForm();
  ASSERT_LT(sheet->Left() + sheet->Top(), 100);  // the sheet alone would land in the red part
  // The rounded corner's key pixel shows the page control at the button's own place.
  EXPECT_EQ(Render(*b).GetPixel(0, 0), 0x00FF00u);
}

TEST_F(ButtonTest, GlyphButtonsShowTheBoldFocusMarkAndItLastsOnePaint) {
  TBitmap glyph(16, 16);
  glyph.Fill(0x20A040);
  glyph.SetPixel(0, 0, 0xFF00FF);
  TvelButton* other = AddButton("Other", 200);
  for (TvelUIStyle style : {TvelUIStyle::MacOS, TvelUIStyle::BlueGlass}) {
    SCOPED_TRACE(static_cast<int>(style));
    TvelButton* b = AddButton("Focus", 20, style);
    b->SetGlyph(glyph);
    ShowForm();
    other->SetFocus();
    Pump(5);
    const TBitmap plain = Render(*b);
    b->SetFocus();
    Pump(5);
    EXPECT_GT(CountDifferent(plain, Render(*b), {0, 0, 91, 30}), 0);  // the caption turned bold
    other->SetFocus();
    Pump(5);
    EXPECT_EQ(CountDifferent(plain, Render(*b), {0, 0, 91, 30}), 0);
    // A focused paint with nothing to embolden leaves no bold for a later unfocused one.
    b->SetGlyph(TBitmap());
    b->SetCaption("  ");
    b->SetFocus();
    Pump(5);
    Render(*b);
    other->SetFocus();
    Pump(5);
    b->SetVisible(false);  // so that the render below is the first paint with a caption
    b->SetCaption("Focus");
    const TBitmap first = Render(*b);
    EXPECT_EQ(CountDifferent(first, Render(*b), {0, 0, 91, 30}), 0);
    delete b;
  }
}

TEST_F(ButtonTest, DisabledCaptionIsEmbossedInWhiteAndGrey) {
  TvelButton* b = AddButton("Disabled", 20, TvelUIStyle::WinXP);
  ShowForm();
  const TBitmap enabled = Render(*b);
  b->SetEnabled(false);
  const TBitmap disabled = Render(*b);
  EXPECT_GT(CountColour(enabled, 0x000000), 10);  // black caption
  EXPECT_EQ(CountColour(disabled, 0x000000), 0);
  EXPECT_GT(CountColour(disabled, 0x808080), 10);
  EXPECT_GT(CountColour(disabled, 0xFFFFFF), CountColour(enabled, 0xFFFFFF));
}

TEST_F(ButtonTest, BlankCaptionIsNotDrawn) {
  TvelButton* b = AddButton("", 20);
  ShowForm();
  const TBitmap none = Render(*b);
  b->SetCaption("   ");
  EXPECT_EQ(CountDifferent(none, Render(*b), {0, 0, 91, 30}), 0);
  b->SetCaption("X");
  EXPECT_GT(CountDifferent(none, Render(*b), {0, 0, 91, 30}), 0);
}

TEST_F(ButtonTest, GlyphOneOrTwoImagesAtItsLayoutPoint) {
  TvelButton* b = AddButton("", 20);
  b->SetTabStop(false);
  ShowForm();
  // Two 16 x 16 images: green when enabled, blue when disabled; fuchsia (its top-left
  // pixel) is see-through.
  TBitmap two(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) two.SetPixel(x, y, x < 16 ? 0x00FF00 : 0x0000FF);
  two.SetPixel(0, 0, 0xFF00FF);
  two.SetPixel(16, 0, 0xFF00FF);
  b->SetGlyph(two);
  // No caption: the glyph centres in 91 x 30 at ((91 - 0 - 16 - 4) / 2, (30 - 16) / 2).
  const TBitmap on = Render(*b);
  EXPECT_EQ(on.GetPixel(35 + 5, 7 + 5), 0x00FF00u);
  EXPECT_NE(on.GetPixel(35, 7), 0xFF00FFu);
  b->SetEnabled(false);
  const TBitmap off = Render(*b);
  EXPECT_EQ(off.GetPixel(35 + 5, 7 + 5), 0x0000FFu);

  // One image, glyph on top of a caption: text origin and glyph follow the layout rule.
  TBitmap one(16, 16);
  one.Fill(0x00FF00);
  one.SetPixel(0, 0, 0xFF00FF);
  b->SetEnabled(true);
  b->SetGlyph(one);
  b->SetCaption("Top");
  b->SetLayout(blGlyphTop);
  const TBitmap top = Render(*b);
  TBitmap scratch(1, 1);
  TPoint extent;
  {
    TBitmapCanvas measure(scratch);
    measure.Font = b->Font();
    extent = measure.TextExtent("Top");
  }
  const int gy = (30 - extent.Y - 16 - 4) / 2;
  EXPECT_EQ(b->TextOrigin(), (TPoint{(91 - extent.X) / 2, gy + 16 + 4}));
  EXPECT_EQ(top.GetPixel(37 + 8, gy + 8), 0x00FF00u);
  b->SetEnabled(false);
  const TBitmap grey = Render(*b);
  EXPECT_EQ(grey.GetPixel(37 + 8, gy + 8), 0x808080u);  // the disabled look of one image
}

TEST_F(ButtonTest, FaceThatCannotBeLoadedBecomesABlankFace) {
  TvelButton* b = AddButton("", 20);
  b->SetTabStop(false);
  ShowForm();
  SetSkinBitmapLoader([](const std::string&, TBitmap&) { return false; });
  const TBitmap out = Render(*b);
  SetSkinBitmapLoader(nullptr);
  EXPECT_EQ(CountColour(out, 0xFFFFFF), 91 * 30);
}

// ---------------------------------------------------------------- file theme

// A skin whose button bitmap has three solid frames (red, green, blue), see-through faces and
// a green caption colour. Its height is odd, as the nine grid needs a centre row.
std::string WriteButtonSkin(const std::string& name) {
  TBitmap faces(30, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 30; ++x) faces.SetPixel(x, y, x < 10 ? 0xFF0000 : x < 20 ? 0x00FF00 : 0x0000FF);
  const Bytes bmp = faces.SaveToBmp();
  const std::vector<Sk2Item> items = {Sk2Item::Bitmap("SKIN2_BUTTON", {bmp.data(), bmp.size()}),
                                      Sk2Item::Boolean("SKIN2_BUTTONTRANS", true),
                                      Sk2Item::Integer("SKIN2_BUTTONFONTCOLOR", 0x00C000)};
  const std::vector<uint8_t> file = BuildSkinContainer(BuildSk2Data(items));
  const std::string path = TempFolder() + name;
  TFileStream out(path, FileMode::Create);
  out.WriteBuffer(file.data(), file.size());
  return path;
}

TEST_F(ButtonTest, FileThemeGivesFacesTransparencyAndCaptionColour) {
  const std::string path = WriteButtonSkin("ButtonTheme.ssk");
  auto* theme = new TvelFileTheme(form.get());
  theme->SetThemeFile(path);
  ASSERT_TRUE(theme->Ready());
  auto* b = new TProbeButton(form.get());
  b->SetParent(back);
  b->SetBounds(20, 20, 91, 30);
  b->SetTabStop(false);
  b->SetUIStyle(TvelUIStyle::BlueGlass);
  b->SetFileTheme(theme);
  // A built-in style ignores a ready theme.
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(b->Font().Color(), clBlack);
  b->SetUIStyle(TvelUIStyle::DeepBlue);
  EXPECT_FALSE(b->Transparent());

  b->SetUIStyle(TvelUIStyle::FromThemeFile);
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(b->Font().Color(), 0x00C000u);
  ShowForm();
  EXPECT_EQ(Render(*b).GetPixel(45, 15), 0xFF0000u);
  b->SetLook(true, false);
  EXPECT_EQ(Render(*b).GetPixel(45, 15), 0x00FF00u);
  b->SetLook(true, true);
  EXPECT_EQ(Render(*b).GetPixel(45, 15), 0x0000FFu);

  // Without a ready theme, FromThemeFile means DeepBlue's face, opacity and black caption.
  b->SetFileTheme(nullptr);
  EXPECT_FALSE(b->Transparent());
  EXPECT_EQ(b->Font().Color(), clBlack);
  b->SetLook(false, false);
  const uint32_t fill = ResolveSystemColor(b->Color());
  EXPECT_EQ(CountDifferent(Render(*b), ExpectedFace(TvelUIStyle::DeepBlue, 1, 91, 30, fill, false), {0, 0, 91, 30}), 0);
  delete theme;
  RemoveFile(path);
}

TEST_F(ButtonTest, RemovingTheFileThemeFallsBackToDeepBlue) {
  const std::string path = WriteButtonSkin("ButtonTheme2.ssk");
  for (TvelUIStyle style : {TvelUIStyle::FromThemeFile, TvelUIStyle::BlueGlass}) {
    auto* theme = new TvelFileTheme(form.get());
    theme->SetThemeFile(path);
    TvelButton* b = AddButton("Theme", 20, style);
    b->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(b->FileTheme(), nullptr);
    EXPECT_EQ(b->UIStyle(), TvelUIStyle::DeepBlue);  // even from a built-in style
    EXPECT_FALSE(b->Transparent());
    delete b;
  }
  // A button that goes first leaves the theme nothing to tell.
  auto* theme = new TvelFileTheme(form.get());
  delete AddButton("Gone", 20);
  TvelButton* b = AddButton("Stays", 120);
  b->SetFileTheme(theme);
  delete b;
  delete theme;
  RemoveFile(path);
}

TEST_F(ButtonTest, LayoutFileThemeRefersToTheFormsThemeComponent) {
  RegisterVelFileThemeClass();
  TvelButton* bound = nullptr;
  form->BindField("Btn", bound);
  form->LoadLayout(R"(object Form: TForm
  object Btn: TvelButton
    FileTheme = Theme1
    UIStyle = FromThemeFile
  end
  object Theme1: TvelFileTheme
  end
end)");
  ASSERT_NE(bound, nullptr);
  EXPECT_EQ(bound->FileTheme(), form->FindComponent("Theme1"));
  EXPECT_FALSE(bound->Transparent());  // not ready: DeepBlue's values
}

// ---------------------------------------------------------------- artefact

std::wstring ArtefactFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  folder += L"artefacts";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

TEST_F(ButtonTest, RendersEveryStateOfEveryStyleForALook) {
  const TvelUIStyle styles[] = {TvelUIStyle::MacOS, TvelUIStyle::WinXP, TvelUIStyle::DeepBlue, TvelUIStyle::Protein,
                                TvelUIStyle::BlueGlass};
  const char* captions[] = {"上一步", "下一步", "取消", "同意", "&Next"};
  enum Look { Normal, Hot, Pressed, Focused, Disabled, kLooks };
  constexpr int kCellW = 101, kCellH = 40, kButtonW = 91, kButtonH = 30;
  back->Fill = 0x00F5EDE6;
  std::vector<TProbeButton*> buttons;
  for (int s = 0; s < 5; ++s) {
    auto* b = new TProbeButton(form.get());
    b->SetParent(back);
    b->SetBounds(5 + s * 4, 5 + s * 45, kButtonW, kButtonH);
    b->SetUIStyle(styles[s]);
    b->Font().SetName("Tahoma");
    b->Font().SetHeight(-11);
    b->Font().SetCharset(0);
    b->SetCaption(captions[s]);
    buttons.push_back(b);
  }
  ShowForm();
  // A sixth row: the four glyph layouts and a disabled two-image glyph.
  TBitmap arrow(32, 16);
  arrow.Fill(0xFF00FF);
  for (int i = 0; i < 8; ++i)
    for (int y = 8 - i; y <= 7 + i; ++y) {
      arrow.SetPixel(3 + i, y, 0x1060C0);
      arrow.SetPixel(19 + i, y, 0x909090);
    }
  TBitmap one(16, 16);
  one.Fill(0xFF00FF);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (std::abs(x - 8) + std::abs(y - 8) < 7) one.SetPixel(x, y, 0x20A040);
  std::vector<TvelButton*> glyphs;
  const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom, blGlyphLeft};
  for (int i = 0; i < kLooks; ++i) {
    auto* g = new TvelButton(form.get());
    g->SetParent(back);
    g->SetBounds(110 + i * 60, 5, i == 2 || i == 3 ? 60 : 91, i == 2 || i == 3 ? 44 : 30);
    g->SetUIStyle(TvelUIStyle::Protein);
    g->SetTabStop(false);
    g->SetCaption(i == 4 ? "上一步" : "下一步");
    g->SetGlyph(i == 4 ? arrow : one);
    g->SetLayout(layouts[i]);
    g->SetEnabled(i != 4);
    glyphs.push_back(g);
  }
  TBitmap sheet(kCellW * kLooks, kCellH * 5 + 50);
  sheet.Fill(0xFFFFFF);
  for (int s = 0; s < 5; ++s) {
    TProbeButton* b = buttons[static_cast<size_t>(s)];
    for (int look = 0; look < kLooks; ++look) {
      b->SetEnabled(look != Disabled);
      b->SetLook(look == Hot || look == Pressed, look == Pressed);
      if (look == Focused) {
        b->SetFocus();
      } else if (GetFocus() == b->Handle()) {
        SetFocus(form->Handle());
      }
      Pump(5);
      const TBitmap cell = Render(*b);
      for (int y = 0; y < kButtonH; ++y)
        for (int x = 0; x < kButtonW; ++x)
          sheet.SetPixel(look * kCellW + 5 + x, s * kCellH + 5 + y, cell.GetPixel(x, y));
    }
    b->SetEnabled(true);
  }
  for (int i = 0; i < kLooks; ++i) {
    const TBitmap cell = Render(*glyphs[static_cast<size_t>(i)]);
    for (int y = 0; y < cell.Height(); ++y)
      for (int x = 0; x < cell.Width(); ++x)
        sheet.SetPixel(i * kCellW + 5 + x, 5 * kCellH + 3 + y, cell.GetPixel(x, y));
  }
  const Bytes bmp = sheet.SaveToBmp(24);
  const std::wstring path = ArtefactFolder() + L"\\buttons.bmp";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ(written, bmp.size());
}

}  // namespace
