// The skin gallery's form: every look reaches every themed control, and skin files are opened
// with a password prompt when they need one and a clear message when they cannot be.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/FileUtil.h"
#include "framework/Streams.h"
#include "skin/VEL2SkinWriter.h"
#include "skin/gallery/GalleryForm.h"

namespace {

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = TempFolder() + name;
  TFileStream out(path, FileMode::Create);
  out.WriteBuffer(bytes.data(), bytes.size());
  return path;
}

std::vector<uint8_t> Skin(const std::string& password) {
  const std::vector<Sk2Item> items = {Sk2Item::Integer("SKIN2_FORMCOLOR", 0xFCF2EA),
                                      Sk2Item::Integer("SKIN2_CONTROLBORDERCOLOR", 0x0000C0)};
  SkinContainerOptions options;
  options.Password = password;
  options.HeaderBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // the wrong password below fails its check
  return BuildSkinContainer(BuildSk2Data(items), options);
}

std::vector<IvelThemable*> Themables(TForm& form) {
  std::vector<IvelThemable*> out;
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (auto* t = dynamic_cast<IvelThemable*>(form.Components(i))) out.push_back(t);
  return out;
}

TEST(Gallery, EveryLookReachesEveryThemedControl) {
  auto form = std::make_unique<TGalleryForm>(nullptr);
  ASSERT_EQ(form->LookCount(), 6);
  ASSERT_GT(Themables(*form).size(), 20u);
  for (int look = 0; look < 5; ++look) {
    const auto style = static_cast<TvelUIStyle>(look + 1);
    form->SelectLook(look);
    EXPECT_EQ(form->Color(), GetThemeColor(style, 15)) << look;
    for (IvelThemable* t : Themables(*form)) ASSERT_EQ(t->GetUIStyle(), style) << look;
  }
}

TEST(Gallery, OpeningSkinFilesAsksForPasswordsAndReportsFailures) {
  auto form = std::make_unique<TGalleryForm>(nullptr);
  const std::string plain = WriteFile("gallery-plain.ssk", Skin(""));
  const std::string locked = WriteFile("gallery-locked.ssk", Skin("secret"));
  const std::string text = WriteFile("gallery-text.ssk", {'n', 'o', 't', ' ', 'a', ' ', 's', 'k', 'i', 'n'});
  struct Row {
    const char* what;
    std::string path;
    const char* answer;  // null: the prompt is cancelled
    bool asked;
    const char* messageStart;  // null: opened
  } rows[] = {
      {"missing", TempFolder() + "no-such.ssk", nullptr, false, "无法读取"},
      {"not a skin", text, nullptr, false, "无法读取"},
      {"cancelled", locked, nullptr, true, "未输入密码"},
      {"wrong password", locked, "guess", true, "密码不正确"},
      {"right password", locked, "secret", true, nullptr},
      {"no password needed", plain, nullptr, false, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    bool asked = false;
    const std::string message = form->OpenSkin(r.path, [&](std::string& password) {
      asked = true;
      if (!r.answer) return false;
      password = r.answer;
      return true;
    });
    EXPECT_EQ(asked, r.asked);
    if (r.messageStart) {
      EXPECT_EQ(message.rfind(r.messageStart, 0), 0u) << message;
    } else {
      EXPECT_EQ(message, "");
      // The opened file is the seventh look and the form's look now.
      EXPECT_EQ(form->LookCount(), 7);
      EXPECT_EQ(form->Color(), 0xFCF2EAu);
      for (IvelThemable* t : Themables(*form)) ASSERT_EQ(t->GetUIStyle(), TvelUIStyle::FromThemeFile);
    }
  }
}

}  // namespace
