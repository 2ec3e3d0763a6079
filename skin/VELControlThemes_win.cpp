// Style rules over the framework's controls, built on the portable rules of VELThemes.
#include "skin/VELControlThemes.h"

#include <vector>

#include "framework/Forms.h"
#include "framework/Streaming.h"
#include "skin/VELMgr.h"

namespace {
std::vector<IvelThemable*> ThemableChildren(const TWinControl& container) {
  std::vector<IvelThemable*> children;
  children.reserve(static_cast<size_t>(container.ControlCount()));
  for (int i = 0; i < container.ControlCount(); ++i)
    children.push_back(dynamic_cast<IvelThemable*>(container.Controls(i)));
  return children;
}
}  // namespace

TvelUIStyle DefaultStyleFor(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (!form) return DefaultStyleFor(false, {});
  const std::vector<IvelThemable*> children = ThemableChildren(*form);
  return DefaultStyleFor(true, children);
}

void ApplyThemeToChildren(TWinControl* container, TvelUIStyle style, TvelFileTheme* fileTheme) {
  if (!container) return;
  // A setter may re-lay the container out; the list taken first keeps the order stable.
  const std::vector<IvelThemable*> children = ThemableChildren(*container);
  ApplyThemeToChildren(children, style, fileTheme);
}

void LinkFileTheme(TComponent& owner, TvelFileTheme*& slot, TvelFileTheme* theme) {
  if (theme == slot) return;
  if (slot) owner.RemoveFreeNotification(slot);
  slot = theme;
  if (theme) owner.FreeNotification(theme);
}

bool FileThemeRemoved(TvelFileTheme*& slot, TComponent* component, TOperation operation) {
  if (operation != opRemove || !slot || component != slot) return false;
  slot = nullptr;
  return true;
}

TvelUIStyle ReadUIStyleValue(const TLayoutValue& v) {
  return TReader::Enum<TvelUIStyle>(v, {{"FromThemeFile", TvelUIStyle::FromThemeFile},
                                        {"MacOS", TvelUIStyle::MacOS},
                                        {"WinXP", TvelUIStyle::WinXP},
                                        {"DeepBlue", TvelUIStyle::DeepBlue},
                                        {"Protein", TvelUIStyle::Protein},
                                        {"BlueGlass", TvelUIStyle::BlueGlass}});
}
