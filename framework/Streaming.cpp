// Component class registry and the layout reader.
#include "framework/Streaming.h"

#include <memory>

#include "framework/Text.h"

namespace {
std::map<std::string, std::unique_ptr<TComponentClass>>& Classes() {
  static std::map<std::string, std::unique_ptr<TComponentClass>> classes = [] {
    std::map<std::string, std::unique_ptr<TComponentClass>> m;
    auto base = std::make_unique<TComponentClass>("TComponent", nullptr, nullptr);
    base->Property("Tag", [](TComponent& c, const TLayoutValue& v, TReader&) {
      c.Tag = TReader::IntRange(v, INT32_MIN, INT32_MAX);
    });
    m["tcomponent"] = std::move(base);
    return m;
  }();
  return classes;
}

ELayoutError Wrap(const std::string& where, const std::string& what, int line) {
  return ELayoutError("Error reading " + where + ": " + what + " (line " + std::to_string(line) + ")");
}

class TreeReader {
 public:
  TreeReader(TComponent& root, const TLayoutReadOptions& options)
      : root_(root), options_(options), reader_(root, options.methods) {}

  void Run(const TLayoutObject& tree) {
    const TComponentClass* rootClass = FindComponentClass(root_.ClassName());
    if (!rootClass && !options_.rootClass.empty()) rootClass = FindComponentClass(options_.rootClass);
    if (!rootClass) throw Wrap(tree.name, std::string("Class ") + root_.ClassName() + " not found", tree.line);
    root_.BeginLoading();
    if (!tree.name.empty()) root_.SetName(tree.name);
    loaded_.push_back(&root_);
    Apply(root_, *rootClass, tree);
    reader_.ResolveReferences();
    for (TComponent* c : loaded_) c->Loaded();
  }

 private:
  void Apply(TComponent& component, const TComponentClass& cls, const TLayoutObject& object) {
    std::string who = component.Name().empty() ? cls.Name() : component.Name();
    for (const TLayoutProperty& p : object.properties) {
      const TPropertySetter* setter = cls.FindProperty(p.name);
      if (!setter) throw Wrap(who + "." + p.name, "Property " + p.name + " does not exist", p.line);
      reader_.line = p.line;
      try {
        (*setter)(component, p.value, reader_);
      } catch (const ELayoutError& e) {
        throw Wrap(who + "." + p.name, e.what(), p.line);
      }
    }
    for (const TLayoutObject& child : object.children) Create(component, child);
  }

  void Create(TComponent& parent, const TLayoutObject& object) {
    const TComponentClass* cls = FindComponentClass(object.className);
    if (!cls || !cls->Factory()) throw Wrap(object.name, "Class " + object.className + " not found", object.line);
    if (!object.name.empty() && (root_.FindComponent(object.name) || TReader::SameIdent(root_.Name(), object.name)))
      throw Wrap(object.name, "A component named " + object.name + " already exists", object.line);
    TComponent* component = cls->Factory()(&root_);
    // The root owns it from here on, so an error below leaves nothing behind.
    component->BeginLoading();
    if (!object.name.empty()) component->SetName(object.name);
    loaded_.push_back(component);
    if (options_.onCreated) options_.onCreated(component);
    component->SetParentComponent(&parent);
    Apply(*component, *cls, object);
  }

  TComponent& root_;
  const TLayoutReadOptions& options_;
  TReader reader_;
  std::vector<TComponent*> loaded_;
};
}  // namespace

TComponentClass& TComponentClass::Property(const std::string& name, TPropertySetter setter) {
  properties_[LowerText(name)] = std::move(setter);
  return *this;
}

const TPropertySetter* TComponentClass::FindProperty(std::string_view name) const {
  std::string key = LowerText(name);
  for (const TComponentClass* c = this; c; c = c->parent_) {
    auto it = c->properties_.find(key);
    if (it != c->properties_.end()) return &it->second;
  }
  return nullptr;
}

bool TComponentClass::InheritsFrom(std::string_view name) const {
  for (const TComponentClass* c = this; c; c = c->parent_)
    if (TReader::SameIdent(c->name_, name)) return true;
  return false;
}

TComponentClass& RegisterComponentClass(const std::string& name, const std::string& parentName,
                                        TComponentFactory factory) {
  auto& classes = Classes();
  auto it = classes.find(LowerText(name));
  if (it != classes.end()) {
    if (factory) *it->second = TComponentClass(it->second->Name(), it->second->Parent(), std::move(factory));
    return *it->second;
  }
  const TComponentClass* parent = nullptr;
  if (!parentName.empty()) {
    parent = FindComponentClass(parentName);
    if (!parent) throw ELayoutError("Class " + parentName + " not found");
  }
  auto cls = std::make_unique<TComponentClass>(name, parent, std::move(factory));
  TComponentClass& ref = *cls;
  classes[LowerText(name)] = std::move(cls);
  return ref;
}

const TComponentClass* FindComponentClass(std::string_view name) {
  auto& classes = Classes();
  auto it = classes.find(LowerText(name));
  return it == classes.end() ? nullptr : it->second.get();
}

const std::any* TMethodTable::Find(std::string_view name) const {
  auto it = methods_.find(name);
  if (it != methods_.end()) return &it->second;
  for (const auto& [key, value] : methods_)
    if (TReader::SameIdent(key, name)) return &value;
  return nullptr;
}

bool TReader::SameIdent(std::string_view a, std::string_view b) { return SameText(a, b); }

int64_t TReader::Int(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Integer) throw ELayoutError(std::string("Integer expected, found ") + v.KindName());
  return v.integer;
}

int TReader::IntRange(const TLayoutValue& v, int64_t low, int64_t high) {
  int64_t n = Int(v);
  if (n < low || n > high) throw ELayoutError(std::to_string(n) + " is out of range");
  return static_cast<int>(n);
}

double TReader::Number(const TLayoutValue& v) {
  if (v.kind == TLayoutValue::Integer) return static_cast<double>(v.integer);
  if (v.kind != TLayoutValue::Float) throw ELayoutError(std::string("Number expected, found ") + v.KindName());
  return v.number;
}

bool TReader::Bool(const TLayoutValue& v) {
  if (v.kind == TLayoutValue::Ident) {
    if (SameIdent(v.text, "True")) return true;
    if (SameIdent(v.text, "False")) return false;
  }
  throw ELayoutError("True or False expected");
}

const std::string& TReader::String(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::String) throw ELayoutError(std::string("String expected, found ") + v.KindName());
  return v.text;
}

const std::string& TReader::Ident(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Ident) throw ELayoutError(std::string("Identifier expected, found ") + v.KindName());
  return v.text;
}

const std::vector<std::string>& TReader::Set(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Set) throw ELayoutError(std::string("Set expected, found ") + v.KindName());
  return v.items;
}

std::vector<std::string> TReader::Strings(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::List) throw ELayoutError(std::string("List expected, found ") + v.KindName());
  std::vector<std::string> out;
  for (const TLayoutValue& item : v.list) out.push_back(String(item));
  return out;
}

const std::vector<uint8_t>& TReader::Binary(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Binary) throw ELayoutError(std::string("Binary data expected, found ") + v.KindName());
  return v.bytes;
}

const std::vector<TLayoutItem>& TReader::Collection(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Collection) throw ELayoutError(std::string("Collection expected, found ") + v.KindName());
  return v.collection;
}

std::string TCollectionItemProperties::Key(std::string_view name) { return LowerText(name); }

const TCollectionItemProperties::Setter* TCollectionItemProperties::Find(std::string_view name) const {
  auto it = setters_.find(Key(name));
  return it == setters_.end() ? nullptr : &it->second;
}

void ReadCollection(TCollection& collection, const TLayoutValue& value, TReader& reader,
                    const TCollectionItemProperties& properties) {
  const std::vector<TLayoutItem>& items = TReader::Collection(value);
  const int outerLine = reader.line;
  collection.BeginUpdate();
  try {
    collection.Clear();
    for (size_t i = 0; i < items.size(); ++i) {
      TCollectionItem* item = collection.Add();
      for (const TLayoutProperty& p : items[i].properties) {
        const std::string where = "item " + std::to_string(i) + "." + p.name;
        const TCollectionItemProperties::Setter* setter = properties.Find(p.name);
        if (!setter) throw ELayoutError(where + ": property does not exist (line " + std::to_string(p.line) + ")");
        reader.line = p.line;
        try {
          (*setter)(*item, p.value, reader);
        } catch (const ELayoutError& e) {
          throw ELayoutError(where + ": " + e.what() + " (line " + std::to_string(p.line) + ")");
        }
      }
    }
  } catch (...) {
    reader.line = outerLine;
    collection.EndUpdate();
    throw;
  }
  reader.line = outerLine;
  collection.EndUpdate();
}

TColor TReader::Color(const TLayoutValue& v) {
  if (v.kind == TLayoutValue::Ident) {
    if (auto c = IdentToColor(v.text)) return *c;
    throw ELayoutError("Invalid colour " + v.text);
  }
  int64_t n = Int(v);
  if (n < INT32_MIN || n > UINT32_MAX) throw ELayoutError("Colour out of range");
  return static_cast<TColor>(n);
}

unsigned TReader::SetBits(const TLayoutValue& v, std::initializer_list<std::pair<const char*, unsigned>> names) {
  unsigned bits = 0;
  for (const std::string& item : Set(v)) {
    bool found = false;
    for (const auto& [name, bit] : names)
      if (SameIdent(item, name)) {
        bits |= bit;
        found = true;
      }
    if (!found) throw ELayoutError("Invalid set member " + item);
  }
  return bits;
}

void TReader::ComponentRef(const TLayoutValue& v, std::function<void(TComponent*)> set) {
  std::string name = v.kind == TLayoutValue::String ? v.text : Ident(v);
  if (name.empty() || SameIdent(name, "nil")) {
    set(nullptr);
    return;
  }
  fixups_.push_back({std::move(name), std::move(set), line});
}

void TReader::ResolveReferences() {
  for (Fixup& f : fixups_) {
    TComponent* target = SameIdent(f.name, root_.Name()) ? &root_ : root_.FindComponent(f.name);
    if (!target)
      throw ELayoutError("Error reading " + f.name + ": component " + f.name + " not found (line " +
                         std::to_string(f.line) + ")");
    try {
      f.set(target);
    } catch (const ELayoutError& e) {
      throw ELayoutError(std::string(e.what()) + " (line " + std::to_string(f.line) + ")");
    }
  }
  fixups_.clear();
}

void ReadLayout(TComponent& root, const TLayoutObject& tree, const TLayoutReadOptions& options) {
  TreeReader(root, options).Run(tree);
}

void ReadLayoutText(TComponent& root, std::string_view text, const TLayoutReadOptions& options) {
  TLayoutObject tree;
  std::string error;
  if (!ParseLayout(text, tree, error)) throw ELayoutError(error);
  ReadLayout(root, tree, options);
}
