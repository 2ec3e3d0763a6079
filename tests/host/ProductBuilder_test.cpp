#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "installer/BaseDef.h"
#include "tools/productbuilder/Manifest.h"

namespace fs = std::filesystem;

namespace {

// Manifests and licence files are UTF-8, whatever the execution character set.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }
std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}
// A third file row with the given name (TOML literal string).
std::string File(const std::string& name) { return "[[files]]\nname = '" + name + "'\nsource = 'a.bin'\n"; }
std::string Big(int i) { return "[[files]]\nname = '\\big" + std::to_string(i) + "'\nsource = 'big.bin'\n"; }

class ProductBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vx_pb_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    Write("lic.txt", U8(u8"第一段\n第二段\r\n"));
    Write("a.bin", "AAAA");
    Write("b.txt", "BBBBBB");
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& name, const std::string& data) {
    std::ofstream(dir_ / name, std::ios::binary) << data;
  }
  // Builds a manifest made of the base product plus `extra`; `product` lines are added to
  // the [product] table, each replacing the default of its key.
  bool Build(const std::string& extra, std::vector<std::string>& errors, BuiltProduct& out,
             const std::string& productExtra = "") {
    std::vector<std::string> lines = {"name = \"" + U8(u8"演示") + "\"", "publisher_key = \"Pub\"", "version = \"1.0\"",
                                      "folder = \"Demo\"", "licence = \"lic.txt\"", "release_date = \"20131113\""};
    std::string product;
    for (const auto& line : lines)
      if (productExtra.find(line.substr(0, line.find(' ')) + " =") != 0) product += line + "\n";
    std::string m = "[product]\n" + product + productExtra +
                    "\n[[files]]\nname = '\\a.bin'\nsource = 'a.bin'\n[[files]]\nname = '\\sub\\b.txt'\n" +
                    "source = 'b.txt'\n" + extra;
    std::ofstream(dir_ / "p.toml", std::ios::binary) << m;
    return BuildProduct((dir_ / "p.toml").string(), {}, out, errors);
  }
  fs::path dir_;
};

TEST_F(ProductBuilderTest, BuildsTheRecordPackAndLicence) {
  std::vector<std::string> errors;
  BuiltProduct p;
  ASSERT_TRUE(Build("[[shortcuts]]\ncaption = 'start'\nfile = '\\a.bin'\nkind = 255\narguments = '/x'\n"
                    "[[registry]]\nroot = 'HKCU'\nkey = 'Software\\K'\nname = 'N'\ntype = 'integer'\nvalue = 4294967295\n",
                    errors, p))
      << errors[0];
  const SetupConfigRecord& r = p.config.Record();
  EXPECT_EQ(r.ProductName.Text(), "演示");  // stored as GBK, like this literal
  EXPECT_EQ(r.ProductName.length, 4);
  EXPECT_EQ(p.config.FileCount(), 2);
  // The files tile the pack in row order; unread bytes are 0, 1, 0; unused rows are zero.
  EXPECT_EQ(p.config.File(0).Offset.Get(), 0);
  EXPECT_EQ(p.config.File(0).Size.Get(), 4);
  EXPECT_EQ(p.config.File(1).Offset.Get(), 4);
  EXPECT_EQ(p.config.File(1).Size.Get(), 6);
  EXPECT_EQ(p.config.File(1).Unread[1], 1);
  EXPECT_EQ(p.config.File(2).Name.length, 0);
  EXPECT_EQ(std::string(p.pack.begin(), p.pack.end()), "AAAABBBBBB");
  EXPECT_EQ(r.PackChecksum.GetU(), PackByteSum(p.pack));
  EXPECT_EQ(p.config.Shortcut(0).Kind, 255);
  EXPECT_EQ(p.config.Shortcut(0).Arguments.Text(), "/x");
  EXPECT_EQ(p.config.RegistryValue(0).UseCurrentUser, 1);
  EXPECT_EQ(p.config.RegistryValue(0).ValueType, 2);
  EXPECT_EQ(p.config.RegistryValue(0).IntegerValue.Get(), -1);
  // Every line break of the licence becomes CR LF.
  EXPECT_EQ(p.licence, "第一段\r\n第二段\r\n");
}

TEST_F(ProductBuilderTest, RefusesBadManifestsNamingTheField) {
  struct Case {
    const char* what;
    std::string extra;
    std::string productExtra;
    std::string field;  // the message must start with it
  };
  std::string han65;  // 65 characters: 195 bytes of UTF-8, 130 of GBK
  for (int i = 0; i < 65; ++i) han65 += U8(u8"汉");
  std::string rows;
  for (int i = 0; i < 255; ++i) rows += "[[files]]\nname = '\\a" + std::to_string(i) + "'\nsource = 'a.bin'\n";
  std::vector<Case> cases = {
      {"no GBK form", "", "category = \"\xF0\x9F\x98\x80\"", "product.category"},
      {"over capacity in GBK bytes", "", "category = \"" + han65 + "\"", "product.category"},
      {"257 file rows", rows, "", "files"},
      {"shortcut to a missing row", "[[shortcuts]]\ncaption = 'x'\nfile = 2\n", "", "shortcuts[0].file"},
      {"shortcut to an unknown name", "[[shortcuts]]\ncaption = 'x'\nfile = '\\nope'\n", "", "shortcuts[0].file"},
      {"date not YYYYMMDD", "", "record_date = \"2013-1-1\"", "product.record_date"},
      {"impossible month", "", "extra_date = \"20131301\"", "product.extra_date"},
      {"missing input file", "[[files]]\nname = '\\c'\nsource = 'missing.bin'\n", "", "files[2].source"},
      {"name without a backslash", "[[files]]\nname = 'c'\nsource = 'a.bin'\n", "", "files[2].name"},
      {"registry type unknown", "[[registry]]\nkey = 'K'\nname = 'N'\ntype = 'float'\n", "", "registry[0].type"},
      // Names that would break the install: registry keys, program group, links, files.
      {"empty product name", "", "name = ''", "product.name"},
      {"product name with a backslash", "", "name = 'a\\b'", "product.name"},
      {"product name with a question mark", "", "name = 'a?'", "product.name"},
      {"empty publisher key", "", "publisher_key = ''", "product.publisher_key"},
      {"empty folder", "", "folder = ''", "product.folder"},
      {"shortcut caption with a backslash", "[[shortcuts]]\ncaption = 'a\\b'\nfile = 0\n", "", "shortcuts[0].caption"},
      {"wildcard file name", File("\\*.txt"), "", "files[2].name"},
      {"parent folder", File("\\..\\evil.txt"), "", "files[2].name"},
      {"two parent folders", File("\\..\\..\\Windows\\evil.exe"), "", "files[2].name"},
      {"stream", File("\\a.txt:stream"), "", "files[2].name"},
      {"drive", File("\\C:\\x"), "", "files[2].name"},
      {"backslash alone", File("\\"), "", "files[2].name"},
      {"device name", File("\\CON"), "", "files[2].name"},
      {"device name with extension in a folder", File("\\sub\\lpt1.txt"), "", "files[2].name"},
      {"empty component", File("\\sub\\\\c.txt"), "", "files[2].name"},
      {"trailing dot", File("\\c."), "", "files[2].name"},
      {"control character", "[[files]]\nname = \"\\\\a\\u0001b\"\nsource = 'a.bin'\n", "", "files[2].name"},
      {"same name but for case", File("\\A.BIN"), "", "files[2].name"},
      // Values of the wrong type, unknown keys, impossible dates.
      {"kind not a number", "[[shortcuts]]\ncaption = 'x'\nfile = 0\nkind = 'abc'\n", "", "shortcuts[0].kind"},
      {"root not a text", "[[registry]]\nroot = 5\nkey = 'K'\nname = 'N'\ntype = 'bool'\nvalue = true\n", "", "registry[0].root"},
      {"description not a text", "", "description = 5", "product.description"},
      {"table name typo", "[[file]]\nname = '\\c'\nsource = 'a.bin'\n", "", "file"},
      {"key typo in a row", "[[files]]\nnmae = '\\c'\nsource = 'a.bin'\n", "", "files[2].nmae"},
      {"key typo in product", "", "vesion = '1'", "product.vesion"},
      {"31 February", "", "release_date = '20130231'", "product.release_date"},
      // Paths that cannot be resolved or read.
      {"unclosed variable", "[[files]]\nname = '\\c'\nsource = '${LIC'\n", "", "files[2].source"},
      {"empty variable", "[[files]]\nname = '\\c'\nsource = '${}'\n", "", "files[2].source"},
      {"folder as source", "[[files]]\nname = '\\c'\nsource = '.'\n", "", "files[2].source"},
      {"device as source", "[[files]]\nname = '\\c'\nsource = '/dev/zero'\n", "", "files[2].source"},
      {"FIFO as source", "[[files]]\nname = '\\c'\nsource = 'fifo'\n", "", "files[2].source"},
      {"folder as licence", "", "licence = '.'", "product.licence"},
      {"sources over 2 GiB together", Big(1) + Big(2) + Big(3), "", "files"},
      // Nesting the parser would recurse into: refused before parsing, naming the file.
      {"deeply dotted key", "x" + Repeat(".a", 5000) + " = 1\n", "", (dir_ / "p.toml").string()},
      {"deeply nested arrays", "x = " + Repeat("[", 5000) + "\n", "", (dir_ / "p.toml").string()},
  };
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  std::ofstream(dir_ / "big.bin").close();
  fs::resize_file(dir_ / "big.bin", 750u << 20);  // sparse: sized, never read
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> errors;
    BuiltProduct p;
    EXPECT_FALSE(Build(c.extra, errors, p, c.productExtra));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].rfind(c.field + ":", 0), 0u) << errors[0];
  }
}

TEST_F(ProductBuilderTest, A128ByteTextFitsAndTheLicenceMustExist) {
  std::vector<std::string> errors;
  BuiltProduct p;
  std::string name;
  for (int i = 0; i < 64; ++i) name += U8(u8"汉");  // 128 bytes in GBK
  EXPECT_TRUE(Build("", errors, p, "category = \"" + name + "\""));
  EXPECT_EQ(p.config.Record().Category.length, 128);
  fs::remove(dir_ / "lic.txt");
  BuiltProduct q;
  EXPECT_FALSE(Build("", errors, q));
}

}  // namespace
