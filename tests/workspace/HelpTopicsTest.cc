// The help topic table against the pages it opens and the tips file that
// names topics: every topic, menu context and tip leads to a page and an
// anchor that exist; the pages link to each other without dead ends and are
// well-formed enough for the help window; the contents page reaches every
// page; the tips file is what the startup tips window can read; the build
// tree holds up-to-date copies of all of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/HelpPages.h"
#include "support/TempDir.h"
#include "workspace/DialogTexts.h"
#include "workspace/HelpTopics.h"

namespace kea {
namespace {

using test::helpFolder;
using test::helpPageNames;
using test::loadHelpPage;

bool contains(const std::vector<std::string>& items, const std::string& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

// "" when `target` ("page.html#anchor", "#anchor" or "page.html") names a
// page and anchor that exist, else what is missing. `from` is the page the
// target is read on.
std::string missingTarget(const std::string& from, const std::string& target) {
  const std::size_t hash = target.find('#');
  const std::string file = hash == std::string::npos ? target : target.substr(0, hash);
  const std::string pageName = file.empty() ? from : file;
  if (!std::filesystem::is_regular_file(helpFolder() + "/" + pageName)) return "no file " + pageName;
  if (hash == std::string::npos) return "";
  const std::string anchor = target.substr(hash + 1);
  if (!pageName.ends_with(".html") || !contains(loadHelpPage(pageName).anchors, anchor)) {
    return "no anchor " + anchor + " in " + pageName;
  }
  return "";
}

// The text of a page from an anchor up to the next anchor.
std::string section(const std::string& target) {
  const std::size_t hash = target.find('#');
  const std::string& text = loadHelpPage(target.substr(0, hash)).text;
  const std::size_t start = text.find("<a name=\"" + target.substr(hash + 1) + "\"");
  if (start == std::string::npos) return "";
  const std::size_t end = text.find("<a name=", start + 1);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(HelpTopics, EveryTopicOpensAPageAndAnchorThatExist) {
  ASSERT_GE(helpTopics().size(), 50u);
  for (const HelpTopic& topic : helpTopics()) {
    SCOPED_TRACE(topic.topic);
    EXPECT_EQ(helpPage(topic.topic), topic.page);
    EXPECT_EQ(missingTarget("index.html", std::string(topic.page)), "");
  }
  EXPECT_EQ(helpPage(kHelpContents), "index.html");
  for (const int unknown : {0, -1, 99, 101, 1001000}) EXPECT_EQ(helpPage(unknown), "") << unknown;
}

TEST(HelpTopics, PopupMenusOpenTheSectionAboutThem) {
  // Each menu's section names its first item.
  const std::map<int, std::string> firstItems = {
      {kFirstCommandOfFileMenu, "Open..."},
      {kFirstCommandOfEditMenu, "Cut"},
      {kFirstCommandOfToolsMenu, "Options..."},
      {kFirstCommandOfWindowMenu, "Always On Top"},
      {kFirstCommandOfHelpMenu, "Quick Reference..."},
      {kFirstCommandOfSearchModeMenu, "Word Search"},
      {kFirstCommandOfEntryMenu, "Lookup..."},
      {kFirstCommandOfDictionaryMenu, "Properties"},
      {kFirstCommandOfExternalLookupMenu, "Setup..."},
      {kFirstCommandOfDefinitionTextMenu, "Go To"},
  };
  ASSERT_EQ(helpMenuContexts().size(), 11u);
  std::map<int, int> topicOfCommand;
  for (const HelpMenuContext& menu : helpMenuContexts()) {
    SCOPED_TRACE(std::string(menu.menu));
    // The list's dictionary menu and the caption's menu are one menu.
    const auto [it, first] = topicOfCommand.emplace(menu.firstCommand, menu.topic);
    EXPECT_EQ(it->second, menu.topic);
    EXPECT_EQ(helpContextOfMenu(menu.firstCommand), menu.topic);
    const std::string page(helpPage(menu.topic));
    ASSERT_NE(page.find('#'), std::string::npos) << page;
    EXPECT_NE(section(page).find(firstItems.at(menu.firstCommand)), std::string::npos) << page;
  }
  EXPECT_EQ(topicOfCommand.size(), 10u);
  EXPECT_EQ(helpContextOfMenu(0), 0);
  EXPECT_EQ(helpContextOfMenu(7500), 0);  // Copy: in menus, but first in none
}

TEST(HelpTopics, QuickReferenceRowsOpenThePageOfTheirExample) {
  const auto rows = dialogs::quickReferenceRows();
  ASSERT_EQ(rows.size(), kQuickReferenceTopics.size());
  std::set<std::string> pages;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    std::string example(rows[row].example);
    SCOPED_TRACE(example);
    for (std::size_t at = example.find('&'); at != std::string::npos; at = example.find('&', at + 1)) {
      example.replace(at, 1, "&amp;");
    }
    const std::string page(helpPage(kQuickReferenceTopics[row]));
    ASSERT_EQ(page.find('#'), std::string::npos) << page;
    const std::string& text = loadHelpPage(page).text;
    const std::size_t at = text.find("<code class=\"pattern\">" + example + "</code>");
    ASSERT_NE(at, std::string::npos) << page;
    EXPECT_NE(text.find("<span class=\"finds\">" + std::string(rows[row].finds), at), std::string::npos) << page;
    pages.insert(page);
  }
  EXPECT_EQ(pages.size(), kQuickReferenceTopics.size());
}

TEST(HelpPages, EveryLinkAndAnchorResolves) {
  const std::vector<std::string> names = helpPageNames();
  ASSERT_GE(names.size(), 30u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const test::HelpPageText& page = loadHelpPage(name);
    std::set<std::string> anchors;
    for (const std::string& anchor : page.anchors) EXPECT_TRUE(anchors.insert(anchor).second) << "twice: " << anchor;
    for (const std::string& link : page.links) {
      if (link.starts_with("http:") || link.starts_with("https:") || link.starts_with("mailto:")) continue;
      EXPECT_EQ(missingTarget(name, link), "") << link;
    }
  }
}

TEST(HelpPages, TheContentsReachEveryPageAndEveryPageLeadsBack) {
  const std::vector<std::string>& contents = loadHelpPage("index.html").links;
  for (const std::string& name : helpPageNames()) {
    SCOPED_TRACE(name);
    const test::HelpPageText& page = loadHelpPage(name);
    EXPECT_TRUE(std::regex_search(page.text, std::regex("<title>[^<]+</title>")));
    EXPECT_TRUE(contains(page.links, "kea.css"));
    if (name == "index.html") continue;
    EXPECT_TRUE(contains(contents, name));
    EXPECT_TRUE(contains(page.links, "index.html"));
  }
}

TEST(HelpPages, TheTopicTableOfTheTipsPageIsTheProgramsOwn) {
  const std::string& text = loadHelpPage("startup-tips.html").text;
  const std::regex row(R"re(<tr class="topic"><td>(\d+)</td><td><a href="([^"]+)">)re");
  std::set<std::string> listed;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
    EXPECT_EQ(helpPage(std::stoi((*it)[1])), (*it)[2].str());
    listed.insert((*it)[2]);
  }
  for (const HelpTopic& topic : helpTopics()) {
    if (topic.page.find('#') == std::string_view::npos) {
      EXPECT_TRUE(listed.count(std::string(topic.page))) << topic.page;
    }
  }
}

bool isUtf8WithNonAscii(const std::string& bytes) {
  bool nonAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    const int follow = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (follow < 0 || (follow > 0 && i + follow >= bytes.size())) return false;
    for (int k = 1; k <= follow; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    nonAscii = nonAscii || follow > 0;
    i += follow + 1;
  }
  return nonAscii;
}

TEST(Tips, EveryTipIsATopicABlankAndWindows1252Text) {
  const std::string tips = test::readFile(std::string(KEA_TEST_DATA_DIR) + "/Tips.txt");
  ASSERT_FALSE(tips.empty());
  EXPECT_EQ(tips.back(), '\n');
  EXPECT_EQ(tips.find('\r'), std::string::npos);
  for (std::size_t i = 0; i < tips.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(tips[i]);
    const bool undefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
    EXPECT_FALSE(undefined || c == 0x7F || (c < 0x20 && c != '\n')) << "byte " << int(c) << " at " << i;
  }
  // Accented letters saved as UTF-8 would show as two strange characters each.
  EXPECT_FALSE(isUtf8WithNonAscii(tips));
  std::istringstream lines(tips);
  int count = 0;
  const std::regex shape(R"((\d+) [^ ].*)");
  for (std::string line; std::getline(lines, line); ++count) {
    SCOPED_TRACE(line);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, shape));
    const std::string page(helpPage(std::stoi(m[1])));
    ASSERT_NE(page, "");
    EXPECT_EQ(missingTarget("index.html", page), "");
  }
  EXPECT_GE(count, 20);
}

}  // namespace
}  // namespace kea
