// Top-level forms, built from stored layouts: the form class fills its method table and
// binds its fields, then reads its layout; OnCreate runs after the whole tree is loaded.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <type_traits>

#include "framework/Controls.h"

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TForm : public TCustomControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  // Fires OnDestroy once; Free calls it before the destructors run.
  void BeforeDestruction() override;
  const char* ClassName() const override { return "TForm"; }

  // Event handlers the layout may name (OnClick = NextBtClick).
  TMethodTable& Methods() { return methods_; }
  // The event type defaults to TNotifyEvent; name it for others (AddMethod<TCloseEvent>).
  template <class Event = TNotifyEvent>
  void AddMethod(const std::string& name, std::type_identity_t<Event> handler) {
    methods_.Add<Event>(name, std::move(handler));
  }
  // The layout's component of that name is stored in field; reading fails when it is
  // missing or of another class.
  template <class T>
  void BindField(const std::string& name, T*& field) {
    fields_[Key(name)] = {name, [&field, name](TComponent* c) {
                            field = dynamic_cast<T*>(c);
                            if (!field) throw ELayoutError("Field " + name + " has the wrong class");
                          }, false};
  }
  // Reads a layout (text or an RT_RCDATA resource of the executable), then runs OnCreate.
  // An error escaping OnCreate goes to the application's top-level handler, so the form
  // still comes up.
  void CreateFromLayout(std::string_view text);
  void CreateFromLayoutResource(const std::string& name);
  // Reads a layout without running OnCreate.
  void LoadLayout(std::string_view text);

  void SetVisible(bool visible) override;
  bool Showing() const override;
  void Close();
  bool CloseQuery();

  TRect ClientRect() const override;
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  unsigned BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(unsigned icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }
  // The smallest window size the user can drag the form to; 0 for no limit.
  int MinWidth() const { return minWidth_; }
  int MinHeight() const { return minHeight_; }
  void SetMinWidth(int width);
  void SetMinHeight(int height);
  // Asks the window system to compute the frame again (after a style change or for a
  // component that answers the form's non-client messages).
  void RecalcFrame();

  // The main menu shown in the form's menu bar; null for none. ClientHeight stays the height
  // below the bar.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  void Notification(TComponent* component, TOperation operation) override;

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Called when a control of the form receives the focus: every control hears FocusChanged.
  void SetFocusedControl(TWinControl* control);
  void ControlRemoved(TControl* control);
  // Moves the focus to the next (or previous) tab stop after current.
  void SelectNext(TWinControl* current, bool forward);

  bool DialogKey(int key, TShiftState shift) override;
  void Paint(TCanvas& canvas) override;

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void BoundsChanged(bool moved, bool sized) override;
  void DoCreate();

 private:
  static std::string Key(std::string_view name);
  void ApplyClientSize();
  struct Field {
    std::string name;
    std::function<void(TComponent*)> bind;
    bool bound;
  };
  TMethodTable methods_;
  std::map<std::string, Field> fields_;
  TFormBorderStyle borderStyle_ = bsSizeable;
  unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  int clientWidth_ = -1, clientHeight_ = -1;
  int minWidth_ = 0, minHeight_ = 0;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool syncingBounds_ = false;
  bool destroyFired_ = false;
};

// The message loop's keyboard step for framework windows: dialog keys and dialog
// characters go to the form's controls before the dialog manager sees them. True when a
// control handled the message.
bool IsFrameworkKeyMessage(MSG& msg);
