#include <gtest/gtest.h>

#include "framework/Dialogs.h"
#include "framework/Streaming.h"

namespace {

std::vector<std::string> journal;

class TThing : public TComponent {
 public:
  using TComponent::TComponent;
  const char* ClassName() const override { return "TThing"; }
  void SetParentComponent(TComponent* parent) override { parent_ = parent; }
  void Loaded() override {
    TComponent::Loaded();
    journal.push_back("Loaded " + Name());
  }
  // A style overwrites the colour, as a themed control's style setter does.
  void SetStyle(int style) {
    style_ = style;
    color_ = style * 100;
    journal.push_back(Name() + ".Style" + (Loading() ? " loading" : ""));
  }
  void SetColor(TColor c) {
    color_ = c;
    journal.push_back(Name() + ".Color");
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == buddy) buddy = nullptr;
  }
  TComponent* parent_ = nullptr;
  TComponent* buddy = nullptr;
  TNotifyEvent OnClick;
  int style_ = 0;
  TColor color_ = 0;
  std::vector<std::string> lines;
};

class TRootThing : public TThing {
 public:
  using TThing::TThing;
  const char* ClassName() const override { return "TRootThing"; }
};

void RegisterThings() {
  auto& c = RegisterComponentClass<TThing>("TThing", "TComponent");
  c.Prop<TThing>("Style", [](TThing& t, const TLayoutValue& v, TReader&) { t.SetStyle(TReader::IntRange(v, 0, 9)); });
  c.Prop<TThing>("Color", [](TThing& t, const TLayoutValue& v, TReader&) { t.SetColor(TReader::Color(v)); });
  c.Prop<TThing>("Buddy", [](TThing& t, const TLayoutValue& v, TReader& r) {
    r.ComponentRef(v, [&t](TComponent* target) {
      t.buddy = target;
      journal.push_back(t.Name() + ".Buddy");
    });
  });
  c.Prop<TThing>("OnClick", [](TThing& t, const TLayoutValue& v, TReader& r) { t.OnClick = r.Method<TNotifyEvent>(v); });
  c.Prop<TThing>("Lines.Strings", [](TThing& t, const TLayoutValue& v, TReader&) { t.lines = TReader::Strings(v); });
  RegisterComponentClass("TRootThing", "TThing");
}

class Streaming : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterThings();
    journal.clear();
  }
};

TEST_F(Streaming, SettersRunInStoredOrderThenLoadedOnEveryComponent) {
  TRootThing root(nullptr);
  int clicks = 0;
  TMethodTable methods;
  methods.Add<TNotifyEvent>("NextClick", [&](TComponent*) { ++clicks; });
  ReadLayoutText(root,
                 "object Form1: TRootThing\n"
                 "  object A: TThing\n"
                 "    Style = 2\n"
                 "    Color = 39423\n"
                 "    Buddy = B\n"
                 "    OnClick = NextClick\n"
                 "    object B: TThing\n"
                 "      Color = clBtnFace\n"
                 "      Style = 3\n"
                 "      Lines.Strings = ('x' 'y')\n"
                 "    end\n"
                 "  end\n"
                 "end\n",
                 {&methods, "", nullptr});
  auto* a = dynamic_cast<TThing*>(root.FindComponent("a"));
  auto* b = dynamic_cast<TThing*>(root.FindComponent("B"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(root.Name(), "Form1");
  EXPECT_EQ(a->Owner(), &root);
  EXPECT_EQ(b->Owner(), &root);
  EXPECT_EQ(a->parent_, &root);
  EXPECT_EQ(b->parent_, a);
  EXPECT_EQ(a->color_, 39423u);  // the stored colour wins over the style set before it
  EXPECT_EQ(b->color_, 300u);    // and the style set after the colour wins
  EXPECT_EQ(b->lines, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(a->buddy, b);        // referenced before B existed
  a->OnClick(a);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(journal, (std::vector<std::string>{"A.Style loading", "A.Color", "B.Color", "B.Style loading", "A.Buddy",
                                               "Loaded Form1", "Loaded A", "Loaded B"}));
  EXPECT_FALSE(a->Loading());
  EXPECT_FALSE(root.Loading());
}

TEST_F(Streaming, ErrorsNameTheComponentPropertyAndLine) {
  struct Row {
    const char* what;
    const char* body;
    const char* message;
  } rows[] = {
      {"unknown property", "  object A: TThing\n    Size = 1\n  end\n", "Error reading A.Size: Property Size does not exist (line 3)"},
      {"unknown class", "  object A: TNoSuch\n  end\n", "Class TNoSuch not found (line 2)"},
      {"wrong kind", "  object A: TThing\n    Style = 'x'\n  end\n", "Integer expected, found string"},
      {"out of range", "  object A: TThing\n    Style = 10\n  end\n", "10 is out of range"},
      {"bad colour", "  object A: TThing\n    Color = clPlaid\n  end\n", "Invalid colour clPlaid"},
      {"missing method", "  object A: TThing\n    OnClick = Nope\n  end\n", "Method Nope not found"},
      {"missing target", "  object A: TThing\n    Buddy = Ghost\n  end\n", "component Ghost not found (line 3)"},
      {"duplicate name", "  object A: TThing\n  end\n  object a: TThing\n  end\n", "A component named a already exists"},
      {"list of numbers", "  object A: TThing\n    Lines.Strings = (1)\n  end\n", "String expected"},
      {"malformed", "  object A: TThing\n", "'end' expected"},
  };
  for (const Row& row : rows) {
    TRootThing root(nullptr);
    std::string text = std::string("object Form1: TRootThing\n") + row.body + "end\n";
    try {
      ReadLayoutText(root, text, {});
      ADD_FAILURE() << row.what;
    } catch (const ELayoutError& e) {
      EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << row.what << ": " << e.what();
    }
  }
}

TEST_F(Streaming, UnregisteredRootTakesTheFallbackClass) {
  class TMyForm : public TThing {
   public:
    using TThing::TThing;
    const char* ClassName() const override { return "TMyForm"; }
  } root(nullptr);
  EXPECT_THROW(ReadLayoutText(root, "object F: TMyForm\n  Style = 1\nend", {}), ELayoutError);
  ReadLayoutText(root, "object F: TMyForm\n  Style = 1\nend", {nullptr, "TThing", nullptr});
  EXPECT_EQ(root.style_, 1);
}

TEST_F(Streaming, RemovalIsAnnouncedToSiblingsAndFreeNotifiers) {
  TRootThing root(nullptr);
  auto* a = new TThing(&root);
  auto* theme = new TThing(&root);
  a->buddy = theme;
  delete theme;  // the owner tells every component it owns
  EXPECT_EQ(a->buddy, nullptr);
  EXPECT_EQ(root.ComponentCount(), 1);

  TRootThing other(nullptr);
  auto* foreign = new TThing(&other);
  a->buddy = foreign;
  foreign->FreeNotification(a);
  delete foreign;
  EXPECT_EQ(a->buddy, nullptr);

  // A free notifier that dies first is forgotten, so nothing calls into it later.
  auto* watcher = new TThing(&other);
  auto* watched = new TThing(&root);
  watched->FreeNotification(watcher);
  delete watcher;
  delete watched;
  EXPECT_EQ(root.ComponentCount(), 1);
}

TEST(ErrorBoxText, AppendsAFullStopUnlessThereIsOne) {
  struct Row {
    std::string in, out;
  } rows[] = {
      {"Stream read error", "Stream read error."},
      {"Done.", "Done."},
      {"", ""},
      {"已完成。", "已完成。"},
      {"已完成", "已完成."},
      // A trail byte A1 followed by A3 is not the ideographic full stop.
      {"\x81\xA1\xA3", "\x81\xA1\xA3."},
  };
  for (const Row& row : rows) EXPECT_EQ(ErrorBoxText(row.in), row.out) << row.in;
}

}  // namespace
