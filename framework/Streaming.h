// Building components from a parsed layout: a registry of component classes (factory and
// property setters by name) and the reader that applies a layout tree to a root component.
// Properties are applied through their setters in the order the layout stores them; every
// component created carries csLoading until the whole tree is read, then Loaded runs on the
// root and on each component in reading order.
#pragma once
#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Collections.h"
#include "framework/Component.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/Layout.h"

class ELayoutError : public Exception {
 public:
  using Exception::Exception;
};

class TReader;
using TPropertySetter = std::function<void(TComponent&, const TLayoutValue&, TReader&)>;
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
using TNotifyEvent = std::function<void(TComponent* sender)>;

class TComponentClass {
 public:
  TComponentClass(std::string name, const TComponentClass* parent, TComponentFactory factory)
      : name_(std::move(name)), parent_(parent), factory_(std::move(factory)) {}
  const std::string& Name() const { return name_; }
  const TComponentClass* Parent() const { return parent_; }
  // Null for classes that are only bases or roots.
  const TComponentFactory& Factory() const { return factory_; }

  // Adds or replaces a setter. Names may be paths such as "Font.Style".
  TComponentClass& Property(const std::string& name, TPropertySetter setter);
  // Typed form: fn(T&, const TLayoutValue&, TReader&) with T the class's component type.
  template <class T, class Fn>
  TComponentClass& Prop(const std::string& name, Fn fn) {
    return Property(name, [fn, name](TComponent& c, const TLayoutValue& v, TReader& r) {
      T* t = dynamic_cast<T*>(&c);
      if (!t) throw ELayoutError("Property " + name + " does not apply to this component");
      fn(*t, v, r);
    });
  }
  // This class's setter for name or its nearest base's; null when none has it.
  const TPropertySetter* FindProperty(std::string_view name) const;
  bool InheritsFrom(std::string_view name) const;

 private:
  std::string name_;
  const TComponentClass* parent_;
  TComponentFactory factory_;
  std::map<std::string, TPropertySetter> properties_;  // keys in lower case
};

// Registers (or finds again) a class. parentName must be registered already, or be empty
// for a root class. Registering a name twice returns the first registration with the new
// factory if one is given.
TComponentClass& RegisterComponentClass(const std::string& name, const std::string& parentName,
                                        TComponentFactory factory = nullptr);
template <class T>
TComponentClass& RegisterComponentClass(const std::string& name, const std::string& parentName) {
  return RegisterComponentClass(name, parentName, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
const TComponentClass* FindComponentClass(std::string_view name);

// Event handlers by name, filled by the form class before its layout is read.
class TMethodTable {
 public:
  template <class Event>
  void Add(const std::string& name, Event handler) {
    methods_[name] = std::any(std::move(handler));
  }
  const std::any* Find(std::string_view name) const;

 private:
  std::map<std::string, std::any, std::less<>> methods_;
};

// The state of one reading; setters use it to convert values.
class TReader {
 public:
  TReader(TComponent& root, const TMethodTable* methods) : root_(root), methods_(methods) {}
  TComponent& Root() const { return root_; }

  static int64_t Int(const TLayoutValue& v);
  static int IntRange(const TLayoutValue& v, int64_t low, int64_t high);
  static double Number(const TLayoutValue& v);
  static bool Bool(const TLayoutValue& v);
  static const std::string& String(const TLayoutValue& v);
  static const std::string& Ident(const TLayoutValue& v);
  static const std::vector<std::string>& Set(const TLayoutValue& v);
  // A list of strings (Lines.Strings = ('a' 'b')).
  static std::vector<std::string> Strings(const TLayoutValue& v);
  static const std::vector<uint8_t>& Binary(const TLayoutValue& v);
  static const std::vector<TLayoutItem>& Collection(const TLayoutValue& v);
  // A number (39423, $00FF00FF) or a colour name (clBtnFace).
  static TColor Color(const TLayoutValue& v);
  template <class E>
  static E Enum(const TLayoutValue& v, std::initializer_list<std::pair<const char*, E>> names) {
    const std::string& id = Ident(v);
    for (const auto& [name, value] : names)
      if (SameIdent(id, name)) return value;
    throw ELayoutError("Invalid property value " + id);
  }
  // Set members mapped to bits, unknown members are an error.
  static unsigned SetBits(const TLayoutValue& v, std::initializer_list<std::pair<const char*, unsigned>> names);
  static bool SameIdent(std::string_view a, std::string_view b);

  // The handler the layout names, from the form's method table.
  template <class Event>
  Event Method(const TLayoutValue& v) const {
    const std::string& name = Ident(v);
    const std::any* m = methods_ ? methods_->Find(name) : nullptr;
    if (!m) throw ELayoutError("Method " + name + " not found");
    if (const Event* e = std::any_cast<Event>(m)) return *e;
    throw ELayoutError("Method " + name + " has the wrong type for this event");
  }
  // A reference to another component of the root by name (or the root itself); resolved
  // after the whole tree is read, since the target may come later. Empty names and "nil"
  // call set with null.
  void ComponentRef(const TLayoutValue& v, std::function<void(TComponent*)> set);

  // Used by ReadLayout.
  void ResolveReferences();

 private:
  struct Fixup {
    std::string name;
    std::function<void(TComponent*)> set;
    int line;
  };
  TComponent& root_;
  const TMethodTable* methods_;
  std::vector<Fixup> fixups_;
 public:
  int line = 0;  // of the property being applied, for messages
};

// The stored properties of one collection item class, by name, in the manner of
// TComponentClass::Prop.
class TCollectionItemProperties {
 public:
  using Setter = std::function<void(TCollectionItem&, const TLayoutValue&, TReader&)>;
  template <class Item, class Fn>
  TCollectionItemProperties& Prop(const std::string& name, Fn fn) {
    setters_[Key(name)] = [fn, name](TCollectionItem& i, const TLayoutValue& v, TReader& r) {
      Item* item = dynamic_cast<Item*>(&i);
      if (!item) throw ELayoutError("Property " + name + " does not apply to this item");
      fn(*item, v, r);
    };
    return *this;
  }
  const Setter* Find(std::string_view name) const;

 private:
  static std::string Key(std::string_view name);
  std::map<std::string, Setter> setters_;
};

// The setter of a published collection property: the collection's items are replaced by
// the value's, one new item per stored item, each item's properties set in stored order.
// Raises ELayoutError (naming the item and the line) on anything it cannot apply.
void ReadCollection(TCollection& collection, const TLayoutValue& value, TReader& reader,
                    const TCollectionItemProperties& properties);

struct TLayoutReadOptions {
  const TMethodTable* methods = nullptr;
  // Class whose properties the root takes when its own class name is not registered.
  std::string rootClass;
  // Called for each component created, after it is named (forms bind their fields here).
  std::function<void(TComponent*)> onCreated;
};

// Applies tree to root: root's properties, then the nested objects created by class name
// with root as owner and the enclosing object as parent component. Raises ELayoutError
// (with the line) on an unknown class or property or a value of the wrong kind; root's
// class name comes from root.ClassName().
void ReadLayout(TComponent& root, const TLayoutObject& tree, const TLayoutReadOptions& options);
// Parses text and applies it; malformed text raises ELayoutError.
void ReadLayoutText(TComponent& root, std::string_view text, const TLayoutReadOptions& options);
