// The style rules of the themed controls over the framework's control tree: the style a new
// themed control starts with, and a container passing its style on to its direct children.
#pragma once
#include "framework/Controls.h"
#include "framework/Layout.h"
#include "skin/VELThemes.h"

// The UIStyle of the first form frame among the owner form's direct child controls; DeepBlue
// when the owner is not a form or holds none.
TvelUIStyle DefaultStyleFor(TComponent* owner);
// Sets FileTheme and then UIStyle on every direct child control of container, in order, that
// publishes both (implements IvelThemable); other children and grandchildren are left alone.
void ApplyThemeToChildren(TWinControl* container, TvelUIStyle style, TvelFileTheme* fileTheme);

// Points slot at theme, moving owner's free notification from the theme it held to the new
// one, so a theme destroyed while in use is reported to owner's Notification.
void LinkFileTheme(TComponent& owner, TvelFileTheme*& slot, TvelFileTheme* theme);
// True when a Notification reports the removal of the theme in slot; slot is then cleared
// and the caller falls back to DeepBlue.
bool FileThemeRemoved(TvelFileTheme*& slot, TComponent* component, TOperation operation);
// The style names stored layouts use for UIStyle.
TvelUIStyle ReadUIStyleValue(const TLayoutValue& v);
