// The open dictionary list driven through a fake main window and view:
// opening (again, a tenth, bad files), closing, promoting and demoting with
// the active dictionary, the recent files, reopening the last run's list and
// the first run, the saved list and the caption, and the refusal of every
// change while a search runs.
#include "workspace/Workspace.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "support/TempDir.h"
#include "support/TestDictionary.h"

namespace kea {
namespace {

const std::string kNotValid = "\nis not a valid KEA&Kindred Dictionary File";
const std::string kTooMany =
    "The number of allowed dictionaries has been reached.\nPlease close a dictionary before loading a new one";

class FakeHost : public WorkspaceHost {
 public:
  struct Message {
    std::string text, caption;
    Icon icon;
  };
  std::vector<Message> messages;
  std::string caption = "(unset)";

  Answer messageBox(std::string_view text, std::string_view caption, Buttons, Icon icon) override {
    messages.push_back({std::string(text), std::string(caption), icon});
    return Answer::Ok;
  }
  void setCaption(std::string_view text) override { caption = text; }
};

// Records what it is told, with the active index the workspace holds then.
class FakeView : public WorkspaceView {
 public:
  explicit FakeView(const Workspace& workspace) : workspace_(workspace) {}
  std::vector<std::string> events;
  bool searching = false;

  void dictionaryAdded() override { note("added"); }
  void dictionaryClosed(int index) override { note("closed " + std::to_string(index)); }
  void dictionariesSwapped(int first, int second) override {
    note("swapped " + std::to_string(first) + "," + std::to_string(second));
  }
  void activeChanged(int index) override { note("active " + std::to_string(index)); }
  void revalidate() override { events.push_back("revalidate"); }
  bool isSearching() const override { return searching; }

 private:
  void note(const std::string& event) {
    events.push_back(event + " [" + std::to_string(workspace_.activeDictionary()) + "/" +
                     std::to_string(workspace_.count()) + "]");
  }
  const Workspace& workspace_;
};

class WorkspaceTest : public ::testing::Test {
 protected:
  WorkspaceTest() { workspace.setView(&view); }

  // A small valid dictionary at `name` below the temporary folder.
  std::string dictionary(const std::string& name) {
    std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
    if (sample.empty()) sample = test::buildTestDictionary(dir, {"cat", "dog", "electron"});
    std::filesystem::copy_file(sample, dir.file(name), std::filesystem::copy_options::overwrite_existing);
    return dir.file(name);
  }
  std::vector<std::string> openPaths() const {
    std::vector<std::string> out;
    for (int i = 0; i < workspace.count(); ++i) out.push_back(workspace.dictionaries()->path(i));
    return out;
  }
  std::vector<std::string> openThree() {
    std::vector<std::string> paths = {dictionary("a.kkd"), dictionary("b.kkd"), dictionary("c.kkd")};
    for (const auto& p : paths) EXPECT_TRUE(workspace.open(p));
    view.events.clear();
    return paths;
  }
  std::vector<std::string> history() const {
    std::vector<std::string> out;
    for (int i = 0; i < FileHistory::kItems; ++i) out.push_back(workspace.history().item(i));
    return out;
  }

  test::TempDir dir;
  std::string sample;
  MemorySettingsStore store;
  FakeHost host;
  // The program's folder is the temporary folder, so nothing depends on
  // where the test program lies.
  Workspace workspace{store, host, dir.path().string() + "/"};
  FakeView view{workspace};
};

// A file is known by what it is, not by how it is spelt: another name for
// an open file (a link, "..") only makes it active, and a name differing
// in letter case is another file on Linux.
TEST_F(WorkspaceTest, OpeningAnOpenFileByAnyNameOnlyMakesItActive) {
  const auto paths = openThree();
  workspace.setActive(2);
  const std::string link = dir.file("link.kkd");
  std::filesystem::create_symlink(paths[0], link);
  EXPECT_TRUE(workspace.open(link));
  EXPECT_EQ(workspace.activeDictionary(), 0);
  std::filesystem::create_directories(dir.file("sub"));
  workspace.setActive(2);
  EXPECT_TRUE(workspace.open(dir.file("sub/../b.kkd")));
  EXPECT_EQ(openPaths(), paths);
  EXPECT_EQ(workspace.activeDictionary(), 1);
  EXPECT_EQ(view.events, (std::vector<std::string>{"active 0 [0/3]", "active 1 [1/3]"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(WorkspaceTest, NamesDifferingInLetterCaseOrHoldingASemicolonAreFilesOfTheirOwn) {
  const std::string lower = dictionary("words.kkd");
  const std::string upper = dictionary("Words.kkd");
  const std::string semicolon = dictionary("a;b.kkd");
  EXPECT_TRUE(workspace.open(lower));
  EXPECT_TRUE(workspace.open(upper));
  EXPECT_TRUE(workspace.open(semicolon));
  EXPECT_EQ(openPaths(), (std::vector<std::string>{lower, upper, semicolon}));
  EXPECT_TRUE(host.messages.empty()) << host.messages.front().text;
  EXPECT_NE(workspace.dictionaries()->dictionary(0), workspace.dictionaries()->dictionary(1));
  // Closing the first keeps the others as they are, ";" and all.
  workspace.setActive(0);
  workspace.closeActive();
  EXPECT_EQ(openPaths(), (std::vector<std::string>{upper, semicolon}));
  for (int i = 0; i < workspace.count(); ++i) EXPECT_TRUE(workspace.dictionaries()->isUsable(i));
}

TEST_F(WorkspaceTest, TheTenthDictionaryIsRefused) {
  for (int i = 0; i < Workspace::kMaxDictionaries; ++i) {
    ASSERT_TRUE(workspace.open(dictionary("d" + std::to_string(i) + ".kkd")));
  }
  view.events.clear();
  EXPECT_FALSE(workspace.open(dictionary("tenth.kkd")));
  EXPECT_EQ(workspace.count(), 9);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kTooMany);
  EXPECT_EQ(host.messages[0].caption, "Dictionary Open Failed");
  EXPECT_EQ(host.messages[0].icon, WorkspaceHost::Icon::Exclamation);
  EXPECT_TRUE(view.events.empty());
  // One already open is still only made active.
  EXPECT_TRUE(workspace.open(dictionary("d4.kkd")));
  EXPECT_EQ(workspace.activeDictionary(), 4);
}

TEST_F(WorkspaceTest, AFileThatIsNoDictionaryLeavesTheListAsItWas) {
  const auto paths = openThree();
  workspace.setActive(1);
  const std::string caption = host.caption;
  test::writeFile(dir.file("text.kkd"), "this is not a dictionary\n");
  const std::string notThere = dir.file("missing.kkd");
  // A ";" is part of the name: this one names no file, though a list that
  // split it there would find a valid dictionary in it.
  const std::string withSeparator = ";" + dictionary("d.kkd");
  // A named pipe of that name would make a plain open wait for a writer.
  ASSERT_EQ(::mkfifo(dir.file("pipe.kkd").c_str(), 0600), 0);
  for (const auto& [bad, why] : {std::pair<std::string, std::string>{dir.file("text.kkd"), "\n\nIt is not a dictionary file."},
                                 {notThere, "\n\nIt was not found."},
                                 {dir.file("pipe.kkd"), "\n\nIt is a named pipe, not a dictionary file."},
                                 {dir.path().string(), "\n\nIt is a folder, not a dictionary file."},
                                 {withSeparator, "\n\nIt was not found."},
                                 {std::string(), ""}}) {
    SCOPED_TRACE(bad);
    host.messages.clear();
    EXPECT_FALSE(workspace.open(bad));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, bad + kNotValid + why);
    EXPECT_EQ(host.messages[0].caption, "Dictionary Open Failed");
    EXPECT_EQ(openPaths(), paths);
    EXPECT_EQ(workspace.activeDictionary(), 1);
  }
  EXPECT_TRUE(view.events.empty());
  EXPECT_EQ(host.caption, caption);
}

TEST_F(WorkspaceTest, AnOpenDictionaryGoneBadDoesNotBlockANewOne) {
  const std::string a = dictionary("a.kkd");
  ASSERT_TRUE(workspace.open(a));
  test::writeFile(a, "rebuilt badly");
  const std::string b = dictionary("b.kkd");
  EXPECT_TRUE(workspace.open(b));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(openPaths(), (std::vector<std::string>{a, b}));
}

TEST_F(WorkspaceTest, ClosingKeepsTheActiveIndexUnlessItIsPastTheEnd) {
  const auto paths = openThree();
  workspace.setActive(1);
  workspace.closeActive();
  EXPECT_EQ(openPaths(), (std::vector<std::string>{paths[0], paths[2]}));
  EXPECT_EQ(workspace.activeDictionary(), 1);
  workspace.closeActive();
  EXPECT_EQ(workspace.activeDictionary(), 0);
  workspace.closeActive();
  EXPECT_EQ(workspace.count(), 0);
  EXPECT_EQ(workspace.activeDictionary(), -1);
  EXPECT_EQ(host.caption, "KEA");
  EXPECT_EQ(view.events, (std::vector<std::string>{"closed 1 [1/2]", "revalidate", "closed 1 [0/1]", "revalidate",
                                                    "closed 0 [-1/0]", "revalidate"}));
  view.events.clear();
  workspace.closeActive();  // nothing left to close
  EXPECT_TRUE(view.events.empty());
}

TEST_F(WorkspaceTest, PromoteAndDemoteMoveTheActiveDictionaryWithItsGroup) {
  const auto paths = openThree();
  workspace.setActive(1);
  workspace.demoteActive();
  EXPECT_EQ(openPaths(), (std::vector<std::string>{paths[0], paths[2], paths[1]}));
  EXPECT_EQ(workspace.activeDictionary(), 2);
  workspace.demoteActive();  // already last
  workspace.promoteActive();
  workspace.promoteActive();
  EXPECT_EQ(openPaths(), (std::vector<std::string>{paths[1], paths[0], paths[2]}));
  EXPECT_EQ(workspace.activeDictionary(), 0);
  workspace.promoteActive();  // already first
  EXPECT_EQ(view.events, (std::vector<std::string>{"swapped 1,2 [2/3]", "revalidate", "swapped 1,2 [1/3]",
                                                    "revalidate", "swapped 0,1 [0/3]", "revalidate"}));
  EXPECT_EQ(host.caption, "b, a, c - KEA");  // the files' names, not their paths
}

TEST_F(WorkspaceTest, NothingChangesWhileTheViewIsSearching) {
  const auto paths = openThree();
  const std::string d = dictionary("d.kkd");
  workspace.history().add(d);
  view.searching = true;
  EXPECT_FALSE(workspace.open(d));
  workspace.openChosen({d});
  workspace.openRecent(0);
  workspace.openDropped({d});
  workspace.closeActive();
  workspace.promoteActive();
  workspace.demoteActive();
  workspace.restore();
  EXPECT_EQ(openPaths(), paths);
  EXPECT_EQ(workspace.activeDictionary(), 0);
  EXPECT_TRUE(view.events.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(WorkspaceTest, CommandsFeedTheRecentFiles) {
  const std::string a = dictionary("a.kkd"), b = dictionary("b.kkd");
  const std::string missing = dir.file("gone.kkd");
  // The Open command: only the files that opened.
  workspace.openChosen({a, missing});
  EXPECT_EQ(history()[0], a);
  EXPECT_EQ(history()[1], "");
  EXPECT_EQ(view.events.back(), "revalidate");
  // A recent file or a dropped one goes to the top whether or not it opened.
  workspace.openDropped({missing, b});
  EXPECT_EQ(history()[0], b);
  EXPECT_EQ(history()[1], missing);
  EXPECT_EQ(history()[2], a);
  workspace.openRecent(1);
  EXPECT_EQ(history()[0], missing);
  EXPECT_EQ(history()[1], b);
  EXPECT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(openPaths(), (std::vector<std::string>{a, b}));
  view.events.clear();
  workspace.openRecent(7);  // an unused item
  EXPECT_TRUE(view.events.empty());
}

TEST(FileHistory, AddingAnItemMovesItToTheTopAndKeepsTheRest) {
  FileHistory history;
  for (int i = 9; i >= 0; --i) history.add("/d/" + std::to_string(i) + ".kkd");
  const auto items = [&] {
    std::vector<std::string> out;
    for (int i = 0; i < FileHistory::kItems; ++i) out.push_back(history.item(i));
    return out;
  };
  const std::vector<std::string> before = items();
  history.add("/d/3.kkd");
  std::vector<std::string> expected = before;
  expected.erase(expected.begin() + 3);
  expected.insert(expected.begin(), "/d/3.kkd");
  EXPECT_EQ(items(), expected);
  // Another file on Linux: it goes on top and the tenth drops off.
  history.add("/D/3.KKD");
  expected.insert(expected.begin(), "/D/3.KKD");
  expected.pop_back();
  EXPECT_EQ(items(), expected);

  history.add("/d/new.kkd");  // the tenth drops off
  EXPECT_EQ(history.item(0), "/d/new.kkd");
  EXPECT_EQ(history.item(9), expected[8]);
  history.add("");
  EXPECT_EQ(history.item(0), "/d/new.kkd");
  EXPECT_EQ(history.item(-1), "");
  EXPECT_EQ(history.item(10), "");
  const std::string fifth = history.item(5);
  history.add(history.item(5));  // an item handed back as it is
  EXPECT_EQ(history.item(0), fifth);
}

TEST(FileHistory, SavedItemsKeepTheirPlacesAndEmptyOnesAreNotWritten) {
  MemorySettingsStore store;
  store.putString("FileDictionary", "/a.kkd");
  store.putString("FileDictionary2", "/c.kkd");  // FileDictionary1 missing
  store.putInt("FileDictionary3", 5);            // not a text
  FileHistory history;
  {
    Persist persist(store, SettingsMode::Read);
    history.load(persist);
  }
  EXPECT_EQ(history.item(0), "/a.kkd");
  EXPECT_EQ(history.item(1), "");
  EXPECT_EQ(history.item(2), "/c.kkd");
  EXPECT_EQ(history.item(3), "");

  MemorySettingsStore saved;
  {
    Persist persist(saved, SettingsMode::Write);
    history.save(persist);
  }
  EXPECT_EQ(saved.valueCount(), 2u);
  ASSERT_NE(saved.stringValue("FileDictionary2"), nullptr);
  EXPECT_EQ(*saved.stringValue("FileDictionary2"), "/c.kkd");
}

TEST_F(WorkspaceTest, RestoreTakesRelativePathsFromTheProgramFolderAndSkipsMissingOnes) {
  const std::string a = dictionary("Dicts/a.kkd");
  const std::string b = dictionary("b.kkd");
  const std::string c = dictionary("c.kkd");
  // A stored name that is now a named pipe is reported like a missing file,
  // without waiting for a writer, and the next one still opens.
  const std::string pipe = dir.file("pipe.kkd");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  store.putString("OpenDictionary0", "Dicts/a.kkd");
  store.putString("OpenDictionary1", "/nowhere/gone.kkd");
  store.putString("OpenDictionary2", pipe);
  store.putString("OpenDictionary3", b);
  store.putString("OpenDictionary4", "");
  store.putString("OpenDictionary5", c);  // after the end of the list
  workspace.restore();
  EXPECT_EQ(openPaths(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(workspace.activeDictionary(), 0);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, "/nowhere/gone.kkd" + kNotValid + "\n\nIt was not found.");
  EXPECT_EQ(host.messages[1].text, pipe + kNotValid + "\n\nIt is a named pipe, not a dictionary file.");
  // Only the path that had to be made absolute joins the recent files.
  EXPECT_EQ(history()[0], a);
  EXPECT_EQ(history()[1], "");
  // The first dictionary becomes the active one; the view checks once at the end.
  EXPECT_EQ(view.events, (std::vector<std::string>{"added [0/1]", "added [0/2]", "revalidate"}));
}

TEST_F(WorkspaceTest, TheFirstRunOpensTheShippedDictionary) {
  // An installed layout: the program in bin/, its data in share/kea/.
  const std::string shipped = dictionary("share/kea/Dictionaries/English.kkd");
  std::filesystem::create_directories(dir.file("bin"));
  Workspace installed(store, host, dir.file("bin") + "/");
  installed.restore();
  ASSERT_EQ(installed.count(), 1);
  EXPECT_EQ(std::filesystem::path(installed.dictionaries()->path(0)), std::filesystem::path(shipped));
  EXPECT_TRUE(host.messages.empty());

  // A list stored empty is no first run.
  store.putString("OpenDictionary0", "");
  Workspace later(store, host, dir.file("bin") + "/");
  later.restore();
  EXPECT_EQ(later.count(), 0);

  // Without the shipped file the user is told where it was looked for.
  store.remove("OpenDictionary0");
  std::filesystem::remove(shipped);
  Workspace unpacked(store, host, dir.file("bin") + "/");
  unpacked.restore();
  EXPECT_EQ(unpacked.count(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, dir.file("bin") + "/Dictionaries/English.kkd" + kNotValid + "\n\nIt was not found.");
}

TEST_F(WorkspaceTest, TheSavedListEndsWithAnEmptyValueAndReadsBack) {
  const auto paths = openThree();
  store.putString("OpenDictionary3", "/stale.kkd");
  store.putString("OpenDictionary4", "/stale.kkd");
  workspace.setPlacement({10, 20, 300, 400, Workspace::kMaximized});
  workspace.history().add(paths[2]);
  workspace.save();
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(store.stringValue("OpenDictionary" + std::to_string(i)), nullptr);
    EXPECT_EQ(*store.stringValue("OpenDictionary" + std::to_string(i)), paths[static_cast<std::size_t>(i)]);
  }
  ASSERT_NE(store.stringValue("OpenDictionary3"), nullptr);
  EXPECT_EQ(*store.stringValue("OpenDictionary3"), "");

  FakeHost otherHost;
  Workspace next(store, otherHost, dir.path().string() + "/");
  next.restore();
  EXPECT_EQ(next.count(), 3);
  EXPECT_EQ(next.placement(), (WindowPosition{10, 20, 300, 400, 1}));
  EXPECT_EQ(next.history().item(0), paths[2]);
  EXPECT_EQ(otherHost.caption, "a, b, c - KEA");
}

}  // namespace
}  // namespace kea
