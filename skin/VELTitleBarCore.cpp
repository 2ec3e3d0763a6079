// The title bar's layout rules, computed on plain numbers so they can be checked off-screen.
#include "skin/VELTitleBarCore.h"

#include <algorithm>

#include "framework/Text.h"

namespace {
// Built-in theme items the title bar reads.
constexpr int kItemLeftOffset = 7, kItemRightOffset = 8, kItemButtonTop = 9, kItemLeft = 10,
              kItemClient = 11, kItemRight = 12, kItemMinWidth = 13, kItemRoundCorner = 14;
constexpr int kMinFormHeight = 50;
constexpr int kRightToLeftMenuShift = 176;
constexpr int kAppIconSize = 16;
}  // namespace

const char* const kOnlyOneControlBoxText = "Sorry, only one button's ButtonType property can be \"velControlBox\"";
const char* const kOnlyOneClientSectionText = "Sorry, only one section's Align property can be \"velClient\"";
const char* const kControlBoxMenuCaptions[4] = {"最小化(&N)", "最大化/还原(&X)", "-", "关闭(&C)"};

int TitleButtonFirstFrame(TvelTitleBarBtnType type, bool restore) {
  switch (type) {
    case velMax: return restore ? 10 : 7;
    case velMin: return 13;
    case velClose: return 16;
    case velHelp: return 4;
    case velControlBox: return 1;
    case velCustom: break;
  }
  return 0;
}

std::vector<TitleSectionSpec> BuiltinTitleSections() {
  return {{kItemLeft, true, velLeft, false}, {kItemRight, true, velRight, false}, {kItemClient, false, velClient, false}};
}

std::vector<TitleSectionSpec> FileThemeTitleSections(bool fiveSections) {
  // Bitmaps 0..4 are SKIN2_TITLEBAR1..5.
  std::vector<TitleSectionSpec> s;
  s.push_back({0, true, velLeft, false});
  if (fiveSections)
    s.push_back({1, false, velLeft, true});
  else
    s.push_back({1, false, velClient, false});
  s.push_back({2, true, fiveSections ? velLeft : velRight, false});
  if (fiveSections) {
    s.push_back({3, false, velClient, false});
    s.push_back({4, true, velRight, false});
  }
  return s;
}

TitleStyleMetrics BuiltinTitleMetrics(TvelUIStyle style, bool onFormFrame) {
  TitleStyleMetrics m;
  m.LeftBtnXOffset = GetThemeInt(style, kItemLeftOffset);
  m.RightBtnXOffset = GetThemeInt(style, kItemRightOffset);
  m.ButtonTop = GetThemeInt(style, kItemButtonTop) - (onFormFrame ? 3 : 0);
  m.ControlBoxTop = m.ButtonTop;
  m.MinFormWidth = GetThemeInt(style, kItemMinWidth);
  m.MinFormHeight = kMinFormHeight;
  m.RoundCorner = GetThemeInt(style, kItemRoundCorner);
  return m;
}

int FileThemeMinFormWidth(int bar1Width, int bar3Width, int bar5Width, bool fiveSections, int buttonBitmapWidth,
                          int buttonCount, int rightBtnXOffset) {
  const int buttons = buttonBitmapWidth / kTitleButtonFrames * buttonCount + rightBtnXOffset;
  if (fiveSections) return bar1Width + bar3Width + std::max(bar5Width, buttons) + 16;
  return bar1Width + std::max(bar3Width, buttons);
}

TitleBackgroundLayout LayoutTitleBackground(const TitleBackgroundInput& in, const TextWidthFn& textWidth) {
  TitleBackgroundLayout out;
  const int border = in.OnFormFrame ? in.BorderAnswer : 0;
  if (in.OnFormFrame) {
    out.X0 = border == 0 ? -3 : -border;
    out.Y0 = -3;
  }
  out.StripWidth = std::max(0, in.BufferWidth + 2 * border);
  out.StripHeight = std::max(0, in.BufferHeight + (in.OnFormFrame ? 3 : 0));
  int left = out.X0;
  int right = in.BufferWidth - out.X0;
  int lastLeftWidth = 0;
  int client = -1;
  const int count = static_cast<int>(in.Sections.size());
  for (int i = 0; i < count; ++i) {
    const TitleSectionInput& s = in.Sections[static_cast<size_t>(i)];
    if (s.CapSec) {
      const int next = i + 1 < count ? in.Sections[static_cast<size_t>(i + 1)].Width : 0;
      const int room = in.BufferWidth - in.LeftBtnXOffset - in.ButtonsWidth - next - 21;
      out.CaptionSection = i;
      out.CaptionText = FitTextWithEllipsis(textWidth, in.Caption, room);
      const int width = std::max(0, textWidth(out.CaptionText) + in.LeftBtnXOffset - lastLeftWidth + 17);
      out.Pieces.push_back({i, {left, out.Y0, left + width, out.Y0 + s.PictureHeight}, TitlePieceMode::Stretch});
      left += width;
    } else if (s.Align == velLeft) {
      out.Pieces.push_back({i, Bounds(left, out.Y0, s.PictureWidth, s.PictureHeight), TitlePieceMode::Natural});
      left += s.PictureWidth;
      lastLeftWidth = s.PictureWidth;
    } else if (s.Align == velRight) {
      out.Pieces.push_back({i, Bounds(right - s.PictureWidth, out.Y0, s.PictureWidth, s.PictureHeight),
                            TitlePieceMode::KeyedOverBackground});
      right -= s.PictureWidth;
    } else {
      client = i;
    }
  }
  if (client >= 0) {
    const TitleSectionInput& s = in.Sections[static_cast<size_t>(client)];
    out.Pieces.push_back({client, {left, out.Y0, std::max(left, right), out.Y0 + s.PictureHeight}, TitlePieceMode::Stretch});
  }
  return out;
}

TitleForegroundLayout LayoutTitleForeground(const TitleForegroundInput& in) {
  TitleForegroundLayout out;
  int c = in.BufferWidth + in.BorderAnswer - in.RightBtnXOffset - 1;
  const int count = static_cast<int>(in.Buttons.size());
  for (int i = 0; i < count; ++i) {
    const TitleButtonInput& b = in.Buttons[static_cast<size_t>(i)];
    if (!b.Visible || !b.HasPictures) continue;
    if (b.Type == velControlBox) {
      out.ControlBox = i;
      continue;
    }
    c -= b.Width;
    if (b.Type != velClose) c -= in.ButtonInterval + 1;
    c = std::min(c, in.BufferWidth - 1 - b.Width);
    const TRect rect = Bounds(c, in.ButtonTop, b.Width, b.Height);
    out.Buttons.push_back({i, rect});
    if (PointInRect(in.Pointer, rect)) out.Hot = i;
  }
  out.ButtonsLeft = c;

  int x = std::max(0, in.LeftBtnXOffset - (in.BorderAnswer - 1) - 4);
  if (out.ControlBox >= 0) {
    const TitleButtonInput& b = in.Buttons[static_cast<size_t>(out.ControlBox)];
    if (in.DrawAppIcon) {
      out.ControlBoxRect = Bounds(x + 3, in.ControlBoxTop, kAppIconSize, kAppIconSize);
      if (PointInRect(in.Pointer, Bounds(x, in.ControlBoxTop, b.Width, b.Height))) out.Hot = out.ControlBox;
      x += 21;
    } else {
      out.ControlBoxRect = Bounds(x, in.ControlBoxTop - 1, b.Width, b.Height);
      if (PointInRect(in.Pointer, out.ControlBoxRect)) out.Hot = out.ControlBox;
      x += b.Width + 5;
    }
  }
  out.CaptionLeft = x == 0 ? 6 : x;
  return out;
}

std::string ShortenCaption(const TextWidthFn& textWidth, const std::string& caption, int room) {
  if (textWidth(caption) <= room) return caption;
  // Character starts, so a GBK double-byte character is dropped whole.
  std::vector<size_t> starts;
  for (size_t i = 0; i < caption.size(); ++i) {
    starts.push_back(i);
    if (IsGbkLeadByte(static_cast<unsigned char>(caption[i])) && i + 1 < caption.size()) ++i;
  }
  for (size_t n = starts.size(); n-- > 0;) {
    std::string candidate = caption.substr(0, starts[n]) + "...";
    if (textWidth(candidate) <= room) return candidate;
  }
  return "...";
}

TPoint TitleCaptionPos(bool fileTheme, TvelUIStyle style, bool rightToLeft, int captionLeft, int buttonsLeft,
                       int textWidth, int captionTop, int buttonTop) {
  const int x = rightToLeft ? buttonsLeft - 10 - textWidth : captionLeft;
  if (fileTheme) return {x, captionTop - 3};
  return {x, buttonTop + (style == TvelUIStyle::Protein ? 3 : 0)};
}

TRect TitleMaximizedBounds(const TRect& workArea) {
  return {workArea.Left - 2, workArea.Top - 2, workArea.Right + 2, workArea.Bottom - 1};
}

TPoint ControlBoxMenuPoint(const TPoint& bottomLeft, bool rightToLeft) {
  return {std::max(0, bottomLeft.X + (rightToLeft ? kRightToLeftMenuShift : 0)), bottomLeft.Y};
}

bool OnlyOneControlBoxAllowed(const std::vector<TvelTitleBarBtnType>& types, int index, TvelTitleBarBtnType value) {
  if (value != velControlBox) return true;
  for (size_t i = 0; i < types.size(); ++i)
    if (static_cast<int>(i) != index && types[i] == velControlBox) return false;
  return true;
}

bool OnlyOneClientSectionAllowed(const std::vector<TvelTitleBarAlign>& aligns, int index, TvelTitleBarAlign value) {
  if (value != velClient) return true;
  for (size_t i = 0; i < aligns.size(); ++i)
    if (static_cast<int>(i) != index && aligns[i] == velClient) return false;
  return true;
}

ControlBoxMenuState ControlBoxMenuEnabling(const std::vector<TitleButtonInput>& buttons) {
  ControlBoxMenuState s;
  for (const TitleButtonInput& b : buttons) {
    if (!b.Visible) continue;
    if (b.Type == velMin) s.Minimize = true;
    if (b.Type == velMax) s.Maximize = true;
    if (b.Type == velClose) s.Close = true;
  }
  return s;
}
