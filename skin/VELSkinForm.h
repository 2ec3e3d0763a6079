// The shaped skin window: a control that, placed on a form, removes the form's frame, shows a
// bitmap (the glyph) as the window's face, cuts the window to the glyph's pixels that are not
// the key colour, and moves the window when the user presses any mouse button on it.
#pragma once
#include <memory>

#include "framework/Controls.h"
#include "framework/Forms.h"

class TvelSkinForm : public TGraphicControl {
 public:
  explicit TvelSkinForm(TComponent* owner);
  ~TvelSkinForm() override;
  const char* ClassName() const override { return "TvelSkinForm"; }

  // The form that is shaped and moved; null when the owner is not a form.
  TForm* Form() const { return form_; }
  // Empty when the owner is not a form.
  const TBitmap& Glyph() const;
  // Copies glyph (the caller keeps its own), then reshapes the form and repaints.
  void SetGlyph(const TBitmap& glyph);
  // A glyph read from a stored layout: kept without reshaping; the TransparentColor stored
  // after it applies the shape.
  void ReadGlyph(TBitmap glyph);
  TColor TransparentColor() const { return transparentColor_; }
  // Stores the key colour, then reshapes the form and repaints.
  void SetTransparentColor(TColor color);

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

  TNotifyEvent OnRegionChanged, OnPaint;

 private:
  void ApplyShape();
  TForm* form_ = nullptr;  // the owner, not owned
  std::unique_ptr<TBitmap> glyph_;
  TColor transparentColor_ = clFuchsia;
};

// Registers TvelSkinForm (and the framework's classes) with the layout reader.
void RegisterSkinFormClasses();
