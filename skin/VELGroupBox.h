// The themed group box: a one-pixel frame line with the caption set into its top edge, in
// colours from the theme, on the picture panel (so it can let its parent show through).
#pragma once
#include <string>

#include "skin/VELImagePanel.h"
#include "skin/VELThemes.h"

class TvelCustomGroupBox : public TvelCustomPanel, public IvelThemable {
 public:
  explicit TvelCustomGroupBox(TComponent* owner);
  ~TvelCustomGroupBox() override;
  const char* ClassName() const override { return "TvelCustomGroupBox"; }

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor color);
  // The caption set into the frame. The window text stays one blank, so the panel layer
  // under the group box draws no caption of its own.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TvelUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TvelUIStyle style) override;
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);
  bool RightToLeft() const;

  void Paint(TCanvas& canvas) override;
  void AlignControls(TRect& rect) override;
  void FontChanged() override;
  void TextChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  // Passes the style on to the children, then takes the frame and caption colours from it.
  virtual void ApplyStyle(TvelUIStyle style, TvelFileTheme* fileTheme);
  int FontHeight() const;

 private:
  TColor borderColor_ = clBlack;
  std::string caption_;
  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TBiDiMode biDiMode_ = bdLeftToRight;
};

// Registers TvelCustomGroupBox with its stored properties (and the panel classes it builds on).
void RegisterVelGroupBoxClasses();
