// Themed check box and radio button: a mark (one frame of a theme bitmap chosen by checked and
// enabled state) followed by the caption, double-buffered and optionally see-through. Radio
// buttons of one parent and one GroupIndex exclude each other. The item buttons of the check
// and radio groups (VELRadioGroup) derive from these.
#pragma once
#include <string>

#include "framework/Controls.h"
#include "framework/Streaming.h"
#include "skin/VELCheckCore.h"
#include "skin/VELImagePanel.h"
#include "skin/VELThemes.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TvelCheckBox : public TCustomControl, public IvelThemable {
 public:
  explicit TvelCheckBox(TComponent* owner);
  ~TvelCheckBox() override;
  const char* ClassName() const override { return "TvelCheckBox"; }

  bool Checked() const { return checked_; }
  // Equal to the current value: nothing. Otherwise stores, repaints and runs CheckedChanged.
  void SetChecked(bool value);
  TCheckBoxState State() const { return checked_ ? cbChecked : cbUnchecked; }
  void SetState(TCheckBoxState state) { SetChecked(state == cbChecked); }
  TvelUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TvelUIStyle style) override;
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);

  // Where the last paint drew the focus frame; empty when it drew none.
  const TRect& LastFocusFrame() const { return focusFrame_; }

  void SetEnabled(bool enabled) override;
  void Paint(TCanvas& canvas) override;
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  bool DialogChar(int ch, TShiftState shift) override;
  void TextChanged() override;
  void FontChanged() override;
  void FocusChanged(TWinControl* focused) override;
  void Notification(TComponent* component, TOperation operation) override;

  TKeyEvent OnKeyUp;

 protected:
  virtual TvelCheckKind Kind() const { return TvelCheckKind::CheckBox; }
  // The per-kind slots; their values come from the kind's rules in VELCheckCore.
  virtual bool NeedsFocusFrame() const;
  virtual bool GlyphTransparent() const { return IsRadioKind(Kind()); }
  virtual int BuiltinGlyphItem() const { return IsRadioKind(Kind()) ? 4 : 3; }
  virtual int FileThemeGlyphIndex() const { return IsRadioKind(Kind()) ? 18 : 16; }  // SKIN2_RADIOBUTTON / CHECKBOX
  virtual void CheckedChanged();
  virtual void BeforeToggle() {}
  virtual void Toggle();
  virtual bool KeysToggle() const { return !IsRadioKind(Kind()); }
  // Whether a radio group lets its items change (only item buttons of a radio group ask).
  virtual bool GroupCanModify() const { return true; }

  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool UsesFileTheme(TvelUIStyle& effectiveStyle) const;

 private:
  // The mark bitmap for the current state; empty when the theme cannot give it.
  void FetchMark(TBitmap& mark) const;
  // AutoSize's size for the current caption, font and mark.
  void ApplyAutoSize(TCanvas& canvas, const TBitmap& mark);
  bool checked_ = false;
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
  bool transparent_ = false;
  bool autoSize_ = true;
  TBiDiMode biDiMode_ = bdLeftToRight;
  TRect focusFrame_;
};

class TvelRadioButton : public TvelCheckBox {
 public:
  explicit TvelRadioButton(TComponent* owner);
  const char* ClassName() const override { return "TvelRadioButton"; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index) { groupIndex_ = index; }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 protected:
  TvelCheckKind Kind() const override { return TvelCheckKind::RadioButton; }
  void CheckedChanged() override;
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Clears Checked on the other radio buttons of the parent with this GroupIndex.
  void UncheckSiblings();
  int groupIndex_ = 0;
};

// Registers TvelCheckBox and TvelRadioButton, with their stored properties, for layouts.
void RegisterVelCheckBoxClasses();
