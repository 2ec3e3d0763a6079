// Components: named objects in an ownership tree. An owner destroys what it owns and tells
// its components when one of them goes away, so references between siblings (a control and
// the theme it draws from) are dropped before they dangle.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1,     // being read from a stored layout; Loaded clears it
  csDesigning = 2,   // never set at run time; kept so controls can ask
  csDestroying = 4,
};

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The class name layouts use for this component; every registered class overrides it.
  virtual const char* ClassName() const { return "TComponent"; }
  // The enclosing object of a stored layout (controls take it as their parent).
  virtual void SetParentComponent(TComponent*) {}

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name) { name_ = name; }
  int Tag = 0;

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_[static_cast<size_t>(index)]; }
  // Owned component by name, compared without regard to ASCII case; null when none.
  TComponent* FindComponent(std::string_view name) const;

  unsigned ComponentState() const { return state_; }
  bool Loading() const { return (state_ & csLoading) != 0; }
  bool Designing() const { return (state_ & csDesigning) != 0; }
  bool Destroying() const { return (state_ & csDestroying) != 0; }
  // Marks the component as being loaded; Loaded ends it.
  void BeginLoading() { state_ |= csLoading; }
  // Marks the component as going away; derived destructors call it before they take their
  // parts down, so nothing reacts to the teardown as if it were a user's change.
  void BeginDestroying() { state_ |= csDestroying; }
  // Runs once after the whole stored layout has been read. Overrides call the base first.
  virtual void Loaded() { state_ &= ~csLoading; }

  // Told when a component is inserted into or removed from the owner's list, or when a
  // component this one asked about with FreeNotification is destroyed. The base passes
  // the news on to every owned component; overrides call the base.
  virtual void Notification(TComponent* component, TOperation operation);
  // Asks to be told (Notification with opRemove) when other is destroyed, whoever owns it.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Takes ownership of component (removing it from its old owner).
  void InsertComponent(TComponent* component);
  // Gives up ownership without destroying; the caller now owns it.
  void RemoveComponent(TComponent* component);
  // Destroys the owned components, last inserted first, each through Free.
  void DestroyComponents();

  // Runs BeforeDestruction, then deletes the component. The framework destroys owned
  // components and child controls this way; code that owns a component outright should too.
  void Free();
  // Runs while the whole object, derived parts included, is still alive: a handler it
  // calls may use anything of the object. Overrides call the base.
  virtual void BeforeDestruction() {}

 private:
  TComponent* owner_ = nullptr;
  std::string name_;
  unsigned state_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
