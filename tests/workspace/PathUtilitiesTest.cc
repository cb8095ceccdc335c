// Path rules of the workspace: relative paths and the program's folder, the
// documents folder found without a desktop toolkit, file titles, file times
// and full paths, and where the first-run dictionary is looked for.
#include "workspace/PathUtilities.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/TempDir.h"

namespace kea {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PathUtilities, RelativePathsAreMadeAbsoluteFromTheProgramFolder) {
  for (const char* relative : {"", "a.kkd", "Dictionaries/a.kkd", "./a.kkd", "C:\\a.kkd"}) {
    EXPECT_TRUE(isRelative(relative)) << relative;
  }
  EXPECT_FALSE(isRelative("/a.kkd"));
  EXPECT_EQ(absolute("a.kkd;/b.kkd;;c/d.kkd;", "/prog/"), "/prog/a.kkd;/b.kkd;;/prog/c/d.kkd;");
  EXPECT_EQ(absolute("", "/prog/"), "");
  EXPECT_EQ(absolute("/only.kkd", "/prog/"), "/only.kkd");

  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(folder, KEA_BIN_DIR));
  EXPECT_EQ(absolute("x.kkd"), folder + "x.kkd");
}

TEST(PathUtilities, TheDocumentsFolderIsOneThatExists) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.file("docs"));
  std::filesystem::create_directories(dir.file("Papers"));
  std::filesystem::create_directories(dir.file("config"));
  test::writeFile(dir.file("config/user-dirs.dirs"),
                  "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
  ScopedEnv home("HOME", dir.path().string());
  ScopedEnv config("XDG_CONFIG_HOME", dir.file("config"));
  {
    ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.file("docs"));
    EXPECT_EQ(documentsFolder(), dir.file("docs") + "/");
  }
  {
    ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.file("missing"));
    EXPECT_EQ(documentsFolder(), dir.file("Papers") + "/");
  }
  ScopedEnv documents("XDG_DOCUMENTS_DIR", std::nullopt);
  std::filesystem::remove(dir.file("Papers"));
  EXPECT_EQ(documentsFolder(), programFolder());  // no Documents in HOME either
  std::filesystem::create_directories(dir.file("Documents"));
  EXPECT_EQ(documentsFolder(), dir.file("Documents") + "/");
}

TEST(PathUtilities, TitlesTimesAndFullPaths) {
  const struct {
    const char* path;
    const char* title;
  } titles[] = {{"/a/b/English.kkd", "English.kkd"}, {"English.kkd", "English.kkd"}, {"/a/b/", "b"}, {"", ""}};
  for (const auto& t : titles) EXPECT_EQ(fileTitle(t.path), t.title) << t.path;

  test::TempDir dir;
  test::writeFile(dir.file("f.kkd"), "x");
  const struct timespec times[2] = {{1000000000, 5}, {1000000000, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.file("f.kkd").c_str(), times, 0), 0);
  EXPECT_EQ(fileTime(dir.file("f.kkd")), 1000000000LL * 1000000000LL + 5);
  const auto now = [] {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const auto before = now();
  const auto missing = fileTime(dir.file("missing.kkd"));
  EXPECT_GE(missing, before);
  EXPECT_LE(missing, now());

  EXPECT_EQ(fullPath("/a/./b/../c.kkd"), "/a/c.kkd");
  const std::string working = std::filesystem::current_path().string();
  EXPECT_EQ(fullPath("x/../y.kkd"), (std::filesystem::path(working) / "y.kkd").string());
  EXPECT_FALSE(fullPath(""));
}

TEST(PathUtilities, TheFirstRunDictionaryIsFoundBesideTheProgramFirst) {
  test::TempDir dir;
  const std::string bin = dir.file("bin") + "/";
  std::filesystem::create_directories(dir.file("bin/Dictionaries"));
  std::filesystem::create_directories(dir.file("share/kea/Dictionaries"));
  EXPECT_FALSE(findFirstRunDictionary(bin));
  test::writeFile(dir.file("share/kea/Dictionaries/English.kkd"), "installed");
  ASSERT_TRUE(findFirstRunDictionary(bin));
  EXPECT_EQ(std::filesystem::path(*findFirstRunDictionary(bin)),
            std::filesystem::path(dir.file("share/kea/Dictionaries/English.kkd")));
  test::writeFile(dir.file("bin/Dictionaries/English.kkd"), "unpacked");
  EXPECT_EQ(std::filesystem::path(*findFirstRunDictionary(bin)),
            std::filesystem::path(dir.file("bin/Dictionaries/English.kkd")));
  EXPECT_FALSE(findFirstRunDictionary(""));
}

}  // namespace
}  // namespace kea
