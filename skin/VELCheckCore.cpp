// Portable part of the check controls and group boxes. Every division truncates toward zero,
// as C++ integer division does.
#include "skin/VELCheckCore.h"

#include <algorithm>

TvelMarkFrame CheckMarkFrame(bool sixFrames, bool checked, bool enabled) {
  if (sixFrames) return {6, enabled ? (checked ? 1 : 3) : (checked ? 4 : 6)};
  return {4, enabled ? (checked ? 1 : 2) : (checked ? 3 : 4)};
}

TPoint CheckBoxAutoSize(int markWidth, int markHeight, int textHeight, int captionWidth) {
  return {markWidth + captionWidth + 8, std::max(textHeight + 2, markHeight) + 4};
}

TvelCheckLayout LayoutCheckBox(int width, int height, int markWidth, int markHeight, int textHeight, bool rightToLeft) {
  const int textTop = (height - textHeight) / 2;
  const int markTop = (height - markHeight) / 2;
  const int focusBottom = textTop + textHeight + 2;
  if (rightToLeft)
    return {{width - markWidth - 1, markTop},
            {0, textTop, width - markWidth - 4, height},
            {0, textTop, width - markWidth - 2, focusBottom}};
  return {{1, markTop}, {markWidth + 4, textTop, width, height}, {markWidth + 3, textTop, width, focusBottom}};
}

TvelGroupFrame GroupBoxFrame(const TRect& c, int width, int fontHeight, int captionWidth, bool captionEmpty,
                             bool rightToLeft) {
  const int y = c.Top + fontHeight / 2 + 1;
  TvelGroupFrame f;
  if (rightToLeft) {
    f.Line = {{c.Right - 3, y}, {c.Right - 1, y}, {c.Right - 1, c.Bottom - 1}, {c.Left + 1, c.Bottom - 1},
              {c.Left + 1, y}, {captionEmpty ? c.Right - 1 : c.Right - captionWidth - 7, y}};
    f.Caption = {width - captionWidth - 6, 0};
  } else {
    f.Line = {{c.Left + 2, y}, {c.Left, y}, {c.Left, c.Bottom - 1}, {c.Right - 1, c.Bottom - 1},
              {c.Right - 1, y}, {captionEmpty ? c.Left : c.Left + captionWidth + 6, y}};
    f.Caption = {5, 0};
  }
  return f;
}

TRect GroupBoxAlignRect(const TRect& r, int fontHeight) {
  return {r.Left + 3, r.Top + fontHeight + 5, r.Right - 3, r.Bottom - 3};
}

std::vector<TPoint> ArrangeItemButtons(std::span<const int> buttonWidths, int columns, const TRect& client,
                                       int width, int fontHeight, int topMargin, bool rightToLeft) {
  std::vector<TPoint> at;
  const int n = static_cast<int>(buttonWidths.size());
  if (n == 0 || columns < 1) return at;
  const TRect items{client.Left + 3, client.Top + fontHeight, client.Right - 2, client.Bottom - 2};
  const int top = items.Top + topMargin;
  const int avail = items.Bottom - top;
  const int rows = (n + columns - 1) / columns;
  const int columnWidth = (width - 10) / columns;
  const int rowHeight = avail / rows;
  const int firstTop = top + (avail % rows) / 2;
  at.reserve(buttonWidths.size());
  for (int i = 0; i < n; ++i) {
    const int column = i / rows, row = i % rows;
    const int left = rightToLeft ? width - column * columnWidth - buttonWidths[static_cast<size_t>(i)] - 8
                                 : column * columnWidth + 8;
    at.push_back({left, row * rowHeight + firstTop});
  }
  return at;
}

int ItemIndexOf(std::span<const bool> checked) {
  const auto it = std::find(checked.begin(), checked.end(), true);
  return it == checked.end() ? -1 : static_cast<int>(it - checked.begin());
}

std::vector<int> SiblingsToUncheck(std::span<const TvelRadioSibling> siblings, int self) {
  std::vector<int> out;
  if (self < 0 || self >= static_cast<int>(siblings.size())) return out;
  const int group = siblings[static_cast<size_t>(self)].GroupIndex;
  for (int i = 0; i < static_cast<int>(siblings.size()); ++i) {
    const TvelRadioSibling& s = siblings[static_cast<size_t>(i)];
    if (i != self && s.IsRadio && s.GroupIndex == group && s.Checked) out.push_back(i);
  }
  return out;
}

bool CheckedAfterToggle(TvelCheckKind kind, bool checked, bool groupCanModify) {
  switch (kind) {
    case TvelCheckKind::CheckBox:
    case TvelCheckKind::CheckGroupButton:
      return !checked;
    case TvelCheckKind::RadioButton:
      return true;
    case TvelCheckKind::RadioGroupButton:
      return groupCanModify ? true : checked;
  }
  return checked;
}

bool CheckedChangeFires(TvelCheckKind kind, bool nowChecked, bool loading) {
  if (loading) return false;
  return IsRadioKind(kind) ? nowChecked : true;
}

bool NeedsFocusFrame(TvelCheckKind kind, bool tabStop, bool focused, bool groupFocused, bool checked) {
  switch (kind) {
    case TvelCheckKind::CheckBox:
    case TvelCheckKind::RadioButton:
      return tabStop && focused;
    case TvelCheckKind::CheckGroupButton:
      return focused;
    case TvelCheckKind::RadioGroupButton:
      return (groupFocused || focused) && checked;
  }
  return false;
}
