// The help pages of data/help/ as the tests read them: their anchors and
// links, and the worked examples marked up in them.
//
// A worked example is a <code class="pattern"> (a word search),
// <code class="fulltext"> (a full-text search) or <code class="define"> (a
// definition lookup) element, optionally with data-options="..." holding
// kea-cli options (a phrase in single quotes is one argument), followed by
// any number of
//   <span class="finds">...</span>    a result line that must be listed
//                                      (for define: text the output holds),
//   <span class="misses">...</span>   a result line that must not be,
//   <span class="message">...</span>  text the program must report,
// up to the next example.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kea::test {

struct HelpPageText {
  std::string name;                  // file name, e.g. "anagrams.html"
  std::string text;                  // the whole file
  std::vector<std::string> anchors;  // <a name="..."> in page order
  std::vector<std::string> links;    // every href="...", entities decoded
};

// The folder of the help pages in the sources.
std::string helpFolder();
// The file names of every page (*.html), sorted.
std::vector<std::string> helpPageNames();
// A page read from the help folder; an empty text when it does not exist.
const HelpPageText& loadHelpPage(const std::string& name);

// The words of a text joined by single blanks.
std::string collapseBlanks(std::string_view text);

// The text of an HTML fragment with &amp; &lt; &gt; &quot; &#39; and &nbsp;
// decoded.
std::string decodeEntities(std::string_view html);

struct HelpExample {
  enum class Kind { Search, FullText, Define };
  Kind kind = Kind::Search;
  std::string page;
  std::string pattern;               // decoded, spaces kept
  std::vector<std::string> options;  // kea-cli options, from data-options
  std::vector<std::string> finds;    // decoded, runs of white space made one blank
  std::vector<std::string> misses;
  std::vector<std::string> messages;
};

struct HelpExamples {
  std::vector<HelpExample> examples;
  // finds, misses or message spans that follow no example
  std::vector<std::string> strays;
  // Elements read as examples and spans, and elements that carry one of
  // their classes: a difference means markup that the reader passed over.
  std::size_t parsed = 0;
  std::size_t marked = 0;
};

HelpExamples helpExamples(const HelpPageText& page);

}  // namespace kea::test
