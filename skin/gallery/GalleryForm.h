// The skin gallery's one form: every themed control of the library, read from its own stored
// layout, with a radio group that switches the whole form between the built-in styles and a
// file theme, and a button that opens any skin file.
#pragma once
#include <string>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/VELButton.h"
#include "skin/VELForm.h"
#include "skin/VELImagePanel.h"
#include "skin/VELMgr.h"
#include "skin/VELRadioGroup.h"

// The name of the layout resource the gallery is read from.
inline constexpr const char* kGalleryLayout = "TGALLERYFORM";

class TGalleryForm : public TForm {
 public:
  explicit TGalleryForm(TComponent* owner);
  const char* ClassName() const override { return "TGalleryForm"; }

  // Looks in the order of the look group: the five built-in styles, then the file themes.
  int LookCount() const { return LookGroup->ItemCount(); }
  // Selects a look as a click on its item does.
  void SelectLook(int index) { LookGroup->SetItemIndex(index); }
  // The themed frame around the window.
  TvelForm* FormFrame() const { return Frame; }
  // Loads a skin file as the open button does, without the file dialog. An encrypted file
  // asks for its password through askPassword (false: cancelled). Returns the message shown
  // to the user, empty when the skin was loaded and is now the form's look.
  std::string OpenSkin(const std::string& path, const std::function<bool(std::string&)>& askPassword);

  // Handlers the layout names.
  void FormCreate(TComponent* sender);
  void LookGroupClick(TComponent* sender);
  void OpenBtClick(TComponent* sender);
  void RepeatBtRepeat(TComponent* sender);

 private:
  void ApplyLook(TvelUIStyle style, TvelFileTheme* theme);
  // Puts the window under a themed frame: title bar, menu bar, the controls on a panel below.
  void FrameWindow();
  TvelForm* Frame = nullptr;
  TvelCustomPanel* Body = nullptr;
  TvelRadioGroup* LookGroup = nullptr;
  TvelButton* RepeatBt = nullptr;
  TLabel* RepeatLb = nullptr;
  TLabel* StatusLb = nullptr;
  TvelButton* GlyphLeftBt = nullptr;
  TvelButton* GlyphRightBt = nullptr;
  TvelButton* GlyphTopBt = nullptr;
  TvelButton* GlyphBottomBt = nullptr;
  TvelCustomPanel* PicPanel1 = nullptr;
  TvelCustomPanel* PicPanel2 = nullptr;
  TvelFileTheme* Theme = nullptr;
  // The theme of a skin file opened with the button; owned by the form.
  TvelFileTheme* openedTheme_ = nullptr;
  int repeats_ = 0;
};

// The gallery's classes, for the layout reader.
void RegisterGalleryClasses();
