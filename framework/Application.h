// The application object: title, main form, the message loop and the top-level handler
// that shows errors escaping event handlers and lets the loop go on.
#pragma once
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"

struct tagMSG;
class TForm;
class TComponent;

class TApplication {
 public:
  TApplication();
  ~TApplication();

  // The caption of message boxes. Defaults to the executable's name without extension.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Creates a form owned by the application; the first one becomes the main form, and
  // closing the main form terminates the application.
  // T's constructor takes the owner (the application's form holder) first.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = new T(Forms(), std::forward<Args>(args)...);
    if (!mainForm_) {
      mainForm_ = form;
      showMainForm_ = [form] { form->Show(); };
    }
    return form;
  }
  TForm* MainForm() const { return mainForm_; }
  // The owner of every form made by CreateForm.
  TComponent* Forms();

  // Shows the main form and runs the message loop until Terminate's quit request arrives.
  void Run();
  // Posts a quit request; the loop ends when it takes it from the queue.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Dispatches every message waiting in the queue, then returns. A quit request found on
  // the way sets Terminated.
  void ProcessMessages();
  // Takes and dispatches one message, waiting for one. False when the loop should end.
  bool HandleMessage();

  // Called with every message before translation and dispatch; true swallows it.
  std::function<bool(tagMSG&)> OnMessage;
  // Further message hooks of components, called after OnMessage in the order added; the
  // key identifies a hook for its removal.
  void AddMessageHook(const void* key, std::function<bool(tagMSG&)> hook);
  void RemoveMessageHook(const void* key);

  // The top-level handler: call it inside a catch block. It shows the error's text in the
  // error box. Unknown exceptions show a generic text.
  void HandleException(std::exception_ptr error = std::current_exception());
  // Replaces the error box (tests record errors instead of showing them); null restores it.
  std::function<void(const std::string&)> OnException;

  // Destroys the forms made by CreateForm, last created first (also done on destruction).
  void DestroyForms();

 private:
  bool ProcessMessage(tagMSG& msg);
  std::vector<std::pair<const void*, std::function<bool(tagMSG&)>>> messageHooks_;
  std::string title_;
  std::unique_ptr<TComponent> forms_;
  TForm* mainForm_ = nullptr;
  std::function<void()> showMainForm_;
  bool terminated_ = false;
};

// The one application object, created on first use.
extern TApplication* const Application;
