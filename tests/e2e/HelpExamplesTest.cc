// Every worked example of the help pages, run with kea-cli on the shipped
// dictionaries: each pattern lists the results the page says it lists and
// not those it says it leaves out, each message the page quotes is the one
// reported, and every pattern shown as searchable is valid.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/HelpPages.h"
#include "support/RunProgram.h"

namespace kea::test {
namespace {

bool listed(const ProgramRun& run, const std::string& result) {
  for (const std::string& line : outputLines(run.out)) {
    // A result line is the entry, then its annotation and balance.
    if (line == result || line.starts_with(result + " ")) return true;
  }
  return false;
}

ProgramRun run(const HelpExample& example) {
  std::vector<std::string> arguments = {example.kind == HelpExample::Kind::Define ? "define" : "search"};
  if (example.kind == HelpExample::Kind::FullText) arguments.push_back("--full-text");
  arguments.insert(arguments.end(), example.options.begin(), example.options.end());
  arguments.push_back("--");
  arguments.push_back(example.pattern);
  return runProgram("kea-cli", arguments);
}

TEST(HelpExamples, EveryExampleFindsWhatItsPageSays) {
  std::size_t examples = 0, checks = 0;
  for (const std::string& name : helpPageNames()) {
    const HelpExamples found = helpExamples(loadHelpPage(name));
    EXPECT_EQ(found.parsed, found.marked) << name << ": markup of an example that is not read";
    EXPECT_TRUE(found.strays.empty()) << name << ": " << found.strays.front();
    for (const HelpExample& example : found.examples) {
      SCOPED_TRACE(name + ": " + example.pattern);
      const ProgramRun r = run(example);
      ++examples;
      if (example.messages.empty()) {
        // 0: found something, 1: found nothing; 2 would be an invalid pattern.
        EXPECT_LT(r.exitCode, 2) << r.err;
      }
      for (const std::string& result : example.finds) {
        const bool ok = example.kind == HelpExample::Kind::Define
                            ? collapseBlanks(r.out).find(result) != std::string::npos
                            : listed(r, result);
        EXPECT_TRUE(ok) << "does not find " << result;
        ++checks;
      }
      for (const std::string& result : example.misses) {
        EXPECT_FALSE(listed(r, result)) << "finds " << result;
        ++checks;
      }
      for (const std::string& message : example.messages) {
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        ++checks;
      }
    }
  }
  // The pages are a guide by example: losing their markup must not pass.
  EXPECT_GE(examples, 150u);
  EXPECT_GE(checks, 300u);
}

// Each page of the pattern language teaches by several checked examples.
TEST(HelpExamples, EveryPatternPageHasSeveralCheckedExamples) {
  for (const char* name : {"templates.html", "anagrams.html", "wildcards.html", "choice-lists.html",
                           "template-anagrams.html", "letter-variables.html", "punctuation.html", "logic.html",
                           "macros.html", "subpatterns.html", "escapes.html", "patterns.html"}) {
    std::size_t checked = 0;
    for (const HelpExample& example : helpExamples(loadHelpPage(name)).examples) {
      if (!example.finds.empty()) ++checked;
    }
    EXPECT_GE(checked, 5u) << name;
  }
}

}  // namespace
}  // namespace kea::test
