// kea-cli define: the definitions of a word from a terminal, as the
// definition window shows them: dictionary by dictionary, each record under
// its heading, in the window's order, rich text shown as plain text.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Cli.h"
#include "definitions/DefinitionBrowser.h"
#include "definitions/RichTextReader.h"
#include "dictionary/DictionaryList.h"
#include "fulltext/DefinitionRetriever.h"
#include "platform/ProgramFolder.h"
#include "text/StringTable.h"

namespace kea::cli {

const char* const kDefineHelp =
    "Usage: kea-cli define [OPTIONS] WORD\n"
    "\n"
    "Shows every definition of WORD that the dictionaries hold: for each\n"
    "dictionary with definitions of it, its file name, then each definition's\n"
    "heading and, indented, its text. Letters match whatever their case and\n"
    "accents, and punctuation is ignored: 'Tail End' finds tail-end.\n"
    "\n"
    "Options:\n"
    "  -d, --dictionary FILE  look in FILE; repeat for up to nine, looked in in\n"
    "                         order (default: the shipped Dictionaries/English.kkd\n"
    "                         and Definitions/WordNet.kkd)\n"
    "\n"
    "Exit status: 0 when definitions were found, 1 when none were, 2 for a wrong\n"
    "command line or an unusable dictionary.\n";

namespace {

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text indented, line by line, with trailing blanks and empty lines at
// the end left out.
std::string indented(const std::string& text, const char* indent) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.pop_back();
    out += line.empty() ? std::string("\n") : indent + line + "\n";
    start = end + 1;
  }
  while (out.size() >= 2 && out.ends_with("\n\n")) out.pop_back();
  return out;
}

}  // namespace

int runDefine(const std::vector<std::string>& args) {
  const auto fail = [](const std::string& message) { return usageError("define", message); };
  std::vector<std::string> dictionaries;
  std::string word;
  bool wordGiven = false;
  tools::CommandLine line(args);
  while (line.next()) {
    const std::string& arg = line.text();
    if (line.isOperand()) {
      if (wordGiven) return fail("more than one word given: '" + arg + "' (quote a word with blanks)");
      const auto text = argumentText(arg, "word");
      if (!text) return kExitUsage;
      word = *text;
      wordGiven = true;
    } else if (isHelp(arg)) {
      std::fputs(kDefineHelp, stdout);
      return kExitOk;
    } else if (arg == "-d" || arg == "--dictionary") {
      if (const auto status = takeDictionary("define", line, dictionaries)) return *status;
    } else {
      return fail("unknown option '" + arg + "'");
    }
  }
  if (!wordGiven) return fail("no word given");

  if (dictionaries.empty()) {
    for (const char* shipped : {"Dictionaries/English.kkd", "Definitions/WordNet.kkd"}) {
      if (const auto path = platform::findDataFile(shipped)) dictionaries.push_back(*path);
    }
    if (dictionaries.empty()) {
      printError("define",
                 "the shipped dictionaries were not found beside the program or in ../share/kea; "
                 "name one with -d FILE");
      return kExitUsage;
    }
  }
  const auto list = DictionaryList::make(dictionaries);
  for (int i = 0; i < list->count(); ++i) {
    if (!list->isUsable(i)) {
      printError("define", unusableDictionaryText(*list, i));
      return kExitUsage;
    }
  }

  std::vector<Definition> definitions;
  lookupDefinitions(*list, word, definitions);
  if (definitions.empty()) {
    std::fflush(stdout);
    // The desktop's message without its question, which a terminal cannot answer.
    std::string message = withWordInserted(loadString(strings::kNoDefinitionsFound), word);
    message.resize(std::min(message.size(), message.find("\n\n")));
    printError("define", terminalText(message));
    return kExitFailure;
  }
  DefinitionBrowser::arrangeRecords(definitions, word);

  std::string out;
  int shownDictionary = -1;
  for (const Definition& d : definitions) {
    if (d.dictionaryIndex != shownDictionary) {
      if (shownDictionary != -1) out += '\n';
      shownDictionary = d.dictionaryIndex;
      out += fileNameOf(list->path(d.dictionaryIndex)) + "\n";
    }
    out += "  " + d.heading() + "\n";
    out += indented(definitionPlainText(d.body), "    ");
  }
  const std::string text = terminalText(out);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return kExitOk;
}

}  // namespace kea::cli
