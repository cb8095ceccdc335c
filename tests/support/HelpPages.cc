#include "support/HelpPages.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <iomanip>
#include <sstream>

#include "support/TempDir.h"

namespace kea::test {

namespace {

std::vector<std::string> allMatches(const std::string& text, const std::regex& re) {
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    found.push_back(decodeEntities((*it)[1].str()));
  }
  return found;
}

}  // namespace

std::string collapseBlanks(std::string_view text) {
  std::istringstream words{std::string(text)};
  std::string word, line;
  while (words >> word) line += (line.empty() ? "" : " ") + word;
  return line;
}

std::string helpFolder() { return std::string(KEA_TEST_DATA_DIR) + "/help"; }

std::vector<std::string> helpPageNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(helpFolder())) {
    if (entry.path().extension() == ".html") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const HelpPageText& loadHelpPage(const std::string& name) {
  static std::map<std::string, HelpPageText> pages;
  auto it = pages.find(name);
  if (it != pages.end()) return it->second;
  HelpPageText page;
  page.name = name;
  page.text = readFile(helpFolder() + "/" + name);
  static const std::regex anchor(R"re(<a\s+name="([^"]*)")re", std::regex::icase);
  static const std::regex link(R"re(href="([^"]*)")re", std::regex::icase);
  page.anchors = allMatches(page.text, anchor);
  page.links = allMatches(page.text, link);
  return pages.emplace(name, std::move(page)).first->second;
}

std::string decodeEntities(std::string_view html) {
  static const std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "},
  };
  std::string text;
  for (std::size_t i = 0; i < html.size();) {
    bool replaced = false;
    for (const auto& [entity, character] : kEntities) {
      if (html.substr(i, entity.size()) == entity) {
        text += character;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += html[i++];
  }
  return text;
}

HelpExamples helpExamples(const HelpPageText& page) {
  static const std::regex item(
      R"re(<code class="(pattern|fulltext|define)"([^>]*)>([^<]*)</code>|<span class="(finds|misses|message)">([^<]*)</span>)re");
  static const std::regex marked(R"re(class="(pattern|fulltext|define|finds|misses|message)")re");
  static const std::regex optionsAttribute(R"re(data-options="([^"]*)")re");
  HelpExamples found;
  found.marked = static_cast<std::size_t>(
      std::distance(std::sregex_iterator(page.text.begin(), page.text.end(), marked), std::sregex_iterator()));
  for (auto it = std::sregex_iterator(page.text.begin(), page.text.end(), item); it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    ++found.parsed;
    if (m[1].matched) {
      HelpExample example;
      example.page = page.name;
      example.kind = m[1] == "fulltext" ? HelpExample::Kind::FullText
                     : m[1] == "define" ? HelpExample::Kind::Define
                                        : HelpExample::Kind::Search;
      const std::string attributes = m[2].str();
      std::smatch options;
      if (std::regex_search(attributes, options, optionsAttribute)) {
        std::istringstream words(decodeEntities(options[1].str()));
        // Words, or a phrase in single quotes: --meaning 'charged particle'.
        for (std::string word; words >> std::quoted(word, '\'');) example.options.push_back(word);
      }
      example.pattern = decodeEntities(m[3].str());
      found.examples.push_back(std::move(example));
      continue;
    }
    const std::string text = collapseBlanks(decodeEntities(m[5].str()));
    if (found.examples.empty()) {
      found.strays.push_back(text);
      continue;
    }
    HelpExample& last = found.examples.back();
    (m[4] == "finds" ? last.finds : m[4] == "misses" ? last.misses : last.messages).push_back(text);
  }
  return found;
}

}  // namespace kea::test
