// A timer component: OnTimer fires on the GUI thread every Interval milliseconds while
// Enabled. Win32 only (a thread timer of the message loop).
#pragma once
#include "framework/Component.h"
#include "framework/Streaming.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  // Milliseconds; 0 stops the ticks.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  TNotifyEvent OnTimer;

 private:
  void Update();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  uintptr_t id_ = 0;
};
