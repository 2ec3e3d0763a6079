#include <gtest/gtest.h>

#include "framework/Collections.h"
#include "framework/Layout.h"
#include "framework/Streaming.h"

namespace {

class TTab : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  void Assign(const TCollectionItem& source) override {
    width = static_cast<const TTab&>(source).width;
    caption = static_cast<const TTab&>(source).caption;
  }
  void SetWidth(int w) {
    width = w;
    Changed();
  }
  int width = 10;
  std::string caption;
};

struct TTabs : TCollectionOf<TTab> {
  std::vector<int> reports;  // index of the changed item, -1 for the list
  void Update(TCollectionItem* item) override { reports.push_back(item ? item->Index() : -1); }
};

TEST(Collections, ItemsIndexesAndReports) {
  TTabs tabs;
  TTab* a = tabs.Add();
  TTab* b = tabs.Add();
  TTab* c = tabs.Insert(0);
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  b->SetWidth(5);
  EXPECT_EQ(tabs.reports, (std::vector<int>{-1, -1, -1, 2}));

  a->SetIndex(9);  // clamped to the end
  EXPECT_EQ(tabs.Items(2), a);
  tabs.Delete(0);
  EXPECT_EQ(tabs.Count(), 2);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_THROW(tabs.Items(2), Exception);
  EXPECT_THROW(tabs.Delete(-1), Exception);

  TTabs copy;
  copy.Add();
  copy.reports.clear();
  copy.Assign(tabs);  // one report for the whole copy
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0)->width, 5);
  EXPECT_NE(copy.Items(0), tabs.Items(0));
  EXPECT_EQ(copy.reports, (std::vector<int>{-1}));
  copy.Clear();
  EXPECT_EQ(copy.Count(), 0);
}

TEST(LayoutCollections, Parses) {
  TLayoutObject root;
  std::string error;
  ASSERT_TRUE(ParseLayout("object A: TThing\n Tabs = <\n item\n Width = 12\n Caption = 'x'\n end\n item end>\n"
                          " None = <>\nend",
                          root, error))
      << error;
  const TLayoutValue& v = root.properties[0].value;
  ASSERT_EQ(v.kind, TLayoutValue::Collection);
  ASSERT_EQ(v.collection.size(), 2u);
  EXPECT_EQ(v.collection[0].line, 3);
  EXPECT_EQ(v.collection[0].properties[1].name, "Caption");
  EXPECT_TRUE(v.collection[1].properties.empty());
  EXPECT_TRUE(root.properties[1].value.collection.empty());
}

TEST(LayoutCollections, MalformedTextIsRefused) {
  const struct {
    const char* what;
    const char* text;
    const char* message;
  } cases[] = {
      {"not closed", "object A: T X = < item end", "'>' expected"},
      {"item not ended", "object A: T X = < item W = 1", "'end' expected"},
      {"no item keyword", "object A: T X = < W = 1 end > end", "'item' or '>' expected"},
      {"value missing", "object A: T X = < item W = > end", "value expected"},
      {"nested too deeply", "object A: T X = <item Y = <item Z = <item end> end> end> end", "nested too deeply"},
  };
  TLayoutLimits limits;
  limits.maxListDepth = 2;
  for (const auto& c : cases) {
    TLayoutObject root;
    std::string error;
    EXPECT_FALSE(ParseLayout(c.text, root, error, limits)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
  }
}

class TTabHost : public TComponent {
 public:
  using TComponent::TComponent;
  const char* ClassName() const override { return "TTabHost"; }
  TTabs tabs;
};

TEST(LayoutCollections, ReaderFillsItemsInOrder) {
  static const TCollectionItemProperties props = [] {
    TCollectionItemProperties p;
    p.Prop<TTab>("Width", [](TTab& t, const TLayoutValue& v, TReader&) { t.SetWidth(TReader::IntRange(v, 0, 999)); });
    p.Prop<TTab>("Caption", [](TTab& t, const TLayoutValue& v, TReader&) { t.caption = TReader::String(v); });
    return p;
  }();
  RegisterComponentClass("TTabHost", "TComponent")
      .Prop<TTabHost>("Tabs", [](TTabHost& h, const TLayoutValue& v, TReader& r) { ReadCollection(h.tabs, v, r, props); });

  TTabHost host(nullptr);
  host.tabs.Add()->SetWidth(77);  // replaced by the stored items
  host.tabs.reports.clear();
  ReadLayoutText(host, "object H: TTabHost\n Tabs = <item Width = 3 Caption = 'a' end item end>\nend", {});
  ASSERT_EQ(host.tabs.Count(), 2);
  EXPECT_EQ(host.tabs.Items(0)->width, 3);
  EXPECT_EQ(host.tabs.Items(0)->caption, "a");
  EXPECT_EQ(host.tabs.Items(1)->width, 10);
  EXPECT_EQ(host.tabs.reports, (std::vector<int>{-1}));

  const struct {
    const char* text;
    const char* message;
  } bad[] = {
      {"object H: TTabHost\n Tabs = <item\n Height = 3 end>\nend", "item 0.Height: property does not exist (line 3)"},
      {"object H: TTabHost\n Tabs = <item end item\n Width = 'x' end>\nend", "item 1.Width: Integer expected"},
      {"object H: TTabHost\n Tabs = 3\nend", "Collection expected"},
  };
  for (const auto& b : bad) {
    try {
      ReadLayoutText(host, b.text, {});
      ADD_FAILURE() << b.text;
    } catch (const ELayoutError& e) {
      EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
