// The check controls' and group boxes' decisions that need no window: which frame of a mark
// bitmap a state shows, the auto-size and the placement of mark, caption and focus frame, the
// frame line of a group box, the arrangement of a group's item buttons in columns, radio
// exclusion, ItemIndex and the rules for when a click event fires.
#pragma once
#include <span>
#include <vector>

#include "framework/Graphics.h"

// A mark bitmap's frame: index (from 1) of count equal frames side by side.
struct TvelMarkFrame {
  int Count = 4;
  int Index = 1;
  bool operator==(const TvelMarkFrame&) const = default;
};
// Four frames (checked, unchecked, checked disabled, unchecked disabled) everywhere, except a
// file theme's check box bitmap, which holds six (checked, -, unchecked, checked disabled, -,
// unchecked disabled).
TvelMarkFrame CheckMarkFrame(bool sixFrames, bool checked, bool enabled);

// AutoSize: mark and caption side by side with 8 pixels to spare, at least 4 pixels taller
// than the taller of mark and text ("W" height + 2).
TPoint CheckBoxAutoSize(int markWidth, int markHeight, int textHeight, int captionWidth);

// Where a check control's paint puts its parts; TextHeight is the height of "W".
struct TvelCheckLayout {
  TPoint Mark;
  TRect Caption;  // drawn single-line, left-aligned (right-aligned right to left)
  TRect Focus;
};
TvelCheckLayout LayoutCheckBox(int width, int height, int markWidth, int markHeight, int textHeight, bool rightToLeft);

// A group box's frame line (a polyline drawn with LineTo, so each segment leaves out its end
// point) with a gap for the caption, and where the caption goes.
struct TvelGroupFrame {
  std::vector<TPoint> Line;
  TPoint Caption;
};
TvelGroupFrame GroupBoxFrame(const TRect& client, int width, int fontHeight, int captionWidth, bool captionEmpty,
                             bool rightToLeft);
// Aligned children sit 3 pixels in from the left, right and bottom and below the caption.
TRect GroupBoxAlignRect(const TRect& rect, int fontHeight);

// The top-left corners of a group's item buttons: items fill the first column top to bottom,
// then the next; rows share the height below TopMargin, the remainder halved above the first
// row. buttonWidths matter only right to left. Empty for no buttons or columns below 1.
std::vector<TPoint> ArrangeItemButtons(std::span<const int> buttonWidths, int columns, const TRect& client,
                                       int width, int fontHeight, int topMargin, bool rightToLeft);

// Setter rules of the group: what they accept.
constexpr bool ColumnsAccepted(int columns) { return columns >= 1; }
constexpr bool TopMarginAccepted(int margin) { return margin >= 0; }
constexpr bool ItemIndexAccepted(int index, int itemCount) { return index >= -1 && index <= itemCount - 1; }
// The first checked item, -1 when none is.
int ItemIndexOf(std::span<const bool> checked);

// A control beside a radio button on the same parent, as radio exclusion sees it.
struct TvelRadioSibling {
  bool IsRadio = false;
  int GroupIndex = 0;
  bool Checked = false;
};
// Indexes of the siblings that a radio button at index self clears when it becomes checked:
// the other checked radio buttons with its GroupIndex.
std::vector<int> SiblingsToUncheck(std::span<const TvelRadioSibling> siblings, int self);

enum class TvelCheckKind { CheckBox, RadioButton, CheckGroupButton, RadioGroupButton };
constexpr bool IsRadioKind(TvelCheckKind k) {
  return k == TvelCheckKind::RadioButton || k == TvelCheckKind::RadioGroupButton;
}
// Checked after a click or key toggle: a check box flips; a radio button only ever becomes
// checked, and in a radio group only when the group allows changes.
bool CheckedAfterToggle(TvelCheckKind kind, bool checked, bool groupCanModify);
// Whether a change of Checked fires OnClick: never while loading; for radio buttons only
// when they became checked (clearing the others fires nothing).
bool CheckedChangeFires(TvelCheckKind kind, bool nowChecked, bool loading);
// Whether the focus frame shows: a check box with TabStop and focus; a check group's item
// with focus; a radio group's item when it is checked and it or its group has the focus.
bool NeedsFocusFrame(TvelCheckKind kind, bool tabStop, bool focused, bool groupFocused, bool checked);
