// Themed panels: TvelPanel, a container under a themed title strip with a caption, a border
// and a fold button that folds it up to the strip; TvelCustomPanel, a borderless panel that
// shows a picture, can let its parent show through and draws its caption at a point or aligned.
#pragma once
#include <functional>
#include <memory>

#include "framework/Controls.h"
#include "skin/VELThemes.h"

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

class TvelPanel : public TCustomControl, public IvelThemable {
 public:
  explicit TvelPanel(TComponent* owner);
  ~TvelPanel() override;
  const char* ClassName() const override { return "TvelPanel"; }

  TvelUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TvelUIStyle value) override;
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor color);
  TColor CaptionFontColor() const { return captionFontColor_; }
  void SetCaptionFontColor(TColor color);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool show);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);

  // Height is the unfolded height. While folded, setting it only records the height the
  // next Pop unfolds to; TControl::Height() is the height shown now.
  int FullHeight() const { return fullHeight_; }
  void SetHeight(int value);

  bool Expanded() const { return expanded_; }
  bool Animating() const { return animating_; }
  // Whether the pointer was over the fold button when the button was last drawn.
  bool FoldButtonHot() const { return hover_; }
  const TBitmap& TitleBitmap() const { return title_; }
  // Where the fold button reacts to the pointer, in client coordinates (edges inclusive).
  TRect FoldButtonHitRect() const;
  // Whether the fold button is drawn and clickable: ShowButton on and not aligned to a side
  // or the whole client area.
  bool FoldButtonShown() const;

  // Folds up to the title strip, animated; raises when aligned alLeft, alRight or alClient.
  void Push();
  // Unfolds to the full height, animated.
  void Pop();

  TNotifyEvent OnPush, OnPop;

  void Paint(TCanvas& canvas) override;
  void AlignControls(TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resize() override;

 private:
  void DrawFoldButton(TCanvas& canvas);
  // Changes the height shown, repaints at once and lets pending messages run; false when
  // the panel was destroyed meanwhile.
  bool AnimationStep(int height);
  TColor borderColor_ = clBlack;
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TvelFileTheme* fileTheme_ = nullptr;
  TBitmap title_;
  bool showButton_ = true;
  bool hover_ = false;
  bool expanded_ = true;
  int fullHeight_ = 0;
  bool animating_ = false;
  bool themeAssigning_ = false;
  TColor captionFontColor_ = clBlack;
  TBiDiMode biDiMode_ = bdLeftToRight;
  // Expires with the panel, so an animation step that let messages run can tell whether a
  // message destroyed the panel.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A bitmap with a change notification and a transparency switch: drawn transparent, its
// bottom-left pixel's colour is left out.
class TvelPicture {
 public:
  bool HasGraphic() const { return !bitmap_.Empty(); }
  const TBitmap& Bitmap() const { return bitmap_; }
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }
  void Assign(TBitmap bitmap);
  void Clear() { Assign(TBitmap()); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Draws the picture into dest, stretched when the sizes differ.
  void Draw(TCanvas& canvas, const TRect& dest) const;

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  TBitmap bitmap_;
  bool transparent_ = false;
};

enum class TvelPictureMode : uint8_t { Natural = 0, Stretch = 1, Tile = 2 };

class TvelCustomPanel : public TCustomControl {
 public:
  explicit TvelCustomPanel(TComponent* owner);
  ~TvelCustomPanel() override;
  const char* ClassName() const override { return "TvelCustomPanel"; }

  TvelPicture& Picture() { return *picture_; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  TvelPictureMode PictureMode() const { return pictureMode_; }
  void SetPictureMode(TvelPictureMode mode);
  bool FitPicture() const { return fitPicture_; }
  void SetFitPicture(bool value);
  // -1 for either means the caption is aligned in the client area.
  int CaptionX() const { return captionX_; }
  int CaptionY() const { return captionY_; }
  void SetCaptionPos(int x, int y);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Where the caption was drawn in the last paint.
  const TRect& CaptionArea() const { return captionArea_; }
  // Hosts the panel in a window of another framework (no parent control).
  void SetParentWindow(HWND window);
  HWND ParentWindow() const { return parentWindow_; }

  void Paint(TCanvas& canvas) override;
  void TextChanged() override;
  void Resize() override;

  // Sizes the panel to its picture, except along the sides its Align fixes.
  void FitToPicture();

 protected:
  // A panel hosted in a foreign window fills its client area with Color; inside a parent
  // control the paint does that.
  virtual void FillBackground();
  // Called with the caption area whenever the text changes.
  virtual void CaptionAreaSet(const TRect& area);
  virtual void PictureChanged();
  void CreateParams(TCreateParams& params) override;
  void SyncPictureTransparency();

 private:
  std::unique_ptr<TvelPicture> picture_;
  bool transparent_ = false;
  bool fitPicture_ = false;
  int captionX_ = -1, captionY_ = -1;
  TvelPictureMode pictureMode_ = TvelPictureMode::Natural;
  TRect captionArea_;
  TAlignment alignment_ = taCenter;
  HWND parentWindow_ = nullptr;
};

// Registers TvelPanel and TvelCustomPanel (and the framework's classes) with the layout reader.
void RegisterImagePanelClasses();
