// The page control and its pages. Pages are stacked windows of which only the active one
// is visible; a page's OnShow fires when it comes into view.
#include <algorithm>

#include "framework/StdCtrls.h"

namespace {
constexpr int kTabHeight = 22;
constexpr int kDisplayMargin = 4;
}

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetParentColor(true);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  auto* pc = dynamic_cast<TPageControl*>(parent);
  if (pc != pageControl_) {
    if (pageControl_) pageControl_->RemovePage(this);
    if (pc) pc->InsertPage(this);
  }
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_) pageControl_->MovePage(this, index);
}

void TTabSheet::SetTabVisible(bool v) {
  tabVisible_ = v;
  if (pageControl_) {
    pageControl_->Realign();
    pageControl_->Invalidate();
  }
}

void TTabSheet::ShowingChanged() {
  if (Destroying() || (pageControl_ && pageControl_->Destroying())) return;
  if (Showing()) {
    if (OnShow) OnShow(this);
  } else if (OnHide) {
    OnHide(this);
  }
}

void TTabSheet::TextChanged() {
  TCustomControl::TextChanged();
  if (pageControl_) pageControl_->Invalidate();
}

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 289, 193);
  // Pages take the colour of the window they lie on, so a white form has white pages.
  SetParentColor(true);
  SetTabStop(true);
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  Realign();
  if (!active_) SetActivePage(page);
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  page->pageControl_ = nullptr;
  if (active_ == page) {
    active_ = nullptr;
    // While the page control itself goes away no other page comes into view (its OnShow
    // would reach a form that is being destroyed).
    if (!pages_.empty() && !Destroying()) SetActivePage(pages_.front());
  }
  Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, static_cast<int>(pages_.size()));
  pages_.insert(pages_.begin() + index, page);
  Invalidate();
}

int TPageControl::ActivePageIndex() const {
  if (!active_) return -1;
  return static_cast<int>(std::find(pages_.begin(), pages_.end(), active_) - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) {
    SetActivePage(nullptr);
    return;
  }
  SetActivePage(pages_[static_cast<size_t>(index)]);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  if (page == active_) return;
  TTabSheet* old = active_;
  active_ = page;
  if (page) {
    page->SetBoundsRect(DisplayRect());
    page->SetVisible(true);
    page->Invalidate();
  }
  if (old) old->SetVisible(false);
  Invalidate();
}

void TPageControl::SetStyle(TTabStyle v) {
  style_ = v;
  Realign();
  Invalidate();
}

bool TPageControl::AnyTabVisible() const {
  return std::any_of(pages_.begin(), pages_.end(), [](TTabSheet* p) { return p->TabVisible(); });
}

// The pages sit inside a 4-pixel margin (a 2-pixel border and 2 of padding) below the tab
// row, whether or not the border is drawn and even with every tab hidden, as a system tab
// control lays out its display area.
TRect TPageControl::DisplayRect() const {
  TRect r = ClientRect().Inflate(-kDisplayMargin, -kDisplayMargin);
  if (AnyTabVisible()) r.Top += style_ == tsTabs ? kTabHeight - 2 : kTabHeight + 3;
  return r;
}

void TPageControl::AlignControls(TRect& rect) {
  TRect display = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBoundsRect(display);
  TCustomControl::AlignControls(rect);
}

std::vector<TRect> TPageControl::TabRects() {
  std::vector<TRect> rects;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  TCanvas canvas(dc.get());
  canvas.Font.Assign(Font());
  int x = 0;
  for (TTabSheet* p : pages_) {
    if (!p->TabVisible()) {
      rects.push_back({});
      continue;
    }
    int w = canvas.TextWidth(p->Caption()) + 16;
    rects.push_back(Bounds(x, 0, w, kTabHeight));
    x += w + (style_ == tsTabs ? 0 : 3);
  }
  return rects;
}

void TPageControl::Paint(TCanvas& canvas) {
  if (!AnyTabVisible()) return;
  std::vector<TRect> rects = TabRects();
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (rects[i].Empty()) continue;
    bool active = pages_[i] == active_;
    TRect r = rects[i];
    if (style_ == tsTabs) {
      canvas.Frame3D({r.Left, r.Top, r.Right, r.Bottom + (active ? 1 : 0)}, clBtnHighlight, clBtnShadow);
    } else if (style_ == tsButtons || active) {
      canvas.Frame3D(r, active ? clBtnShadow : clBtnHighlight, active ? clBtnHighlight : clBtnShadow);
    }
    canvas.Brush.Style = bsClear;
    TRect text = active && style_ != tsTabs ? r.Offset(1, 1) : r;
    canvas.DrawText(pages_[i]->Caption(), text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    canvas.Brush.Style = bsSolid;
  }
  if (style_ == tsTabs) canvas.Frame3D(DisplayRect().Inflate(2, 2), clBtnHighlight, clBtnShadow);
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  std::vector<TRect> rects = TabRects();
  for (size_t i = 0; i < rects.size(); ++i) {
    if (!rects[i].Empty() && rects[i].Contains({x, y}) && pages_[i] != active_) {
      SetActivePage(pages_[i]);
      if (OnChange) OnChange(this);
      return;
    }
  }
}
