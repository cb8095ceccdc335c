// kea-prepare: turns the system's SCOWL word lists and WordNet 3.0 into
// builder input lines for kkbuild, from which the build makes the shipped
// English and WordNet dictionaries. Reports on standard error what each
// source gave and what had to be dropped.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "builder/EnglishAlphabet.h"
#include "builder/InputText.h"
#include "common/StandardOutput.h"
#include "DictionaryPreparer.h"
#include "MeaningLists.h"
#include "platform/File.h"
#include "platform/OutputTarget.h"
#include "platform/Termination.h"

namespace {

using kea::prepare::DictionaryPreparer;
using kea::prepare::DropReason;
using kea::prepare::SourceReport;

constexpr const char* kProgram = "kea-prepare";
constexpr const char* kDefaultAmerican = "/usr/share/dict/american-english-huge";
constexpr const char* kDefaultBritish = "/usr/share/dict/british-english-huge";
constexpr const char* kDefaultWordNet = "/usr/share/wordnet";
constexpr const char* kDefaultScowl = "/usr/share/dict/scowl";
constexpr const char* kDefaultLanguageModel = "/usr/share/pocketsphinx/model/en-us/en-us.lm.bin";
constexpr const char* kWordNetFiles[] = {"data.noun", "data.verb", "data.adj", "data.adv"};

void printUsage(std::ostream& out) {
  out << "Usage: kea-prepare [--english FILE] [--wordnet FILE] [SOURCES]\n"
         "\n"
         "Writes builder input lines for kkbuild (Windows-1252 text, build with\n"
         "\"kkbuild --cp1252\") from the SCOWL word lists and WordNet 3.0. Every\n"
         "WordNet synset becomes one line: its lemmas as the headwords and its\n"
         "gloss, after the part of speech, as their shared definition.\n"
         "\n"
         "Outputs (give at least one; FILE may be - for standard output):\n"
         "  --english FILE      every word of both word lists and of WordNet; list\n"
         "                      words that no synset names stand alone on a line\n"
         "  --wordnet FILE      WordNet alone: the synset lines\n"
         "  --scores FILE       how common each word of --english is, as scored\n"
         "                      lines \"word;score\" (0 rare ... 100 common) for\n"
         "                      \"kkbuild --scores\"\n"
         "  --pairs FILE        word pairs that go together, as lines\n"
         "                      \"first second;bonus\" for \"kkbuild --pairs\"\n"
         "  --meaning FILE      what the words of --english mean, from WordNet's\n"
         "                      definitions and relations, as meaning lists\n"
         "                      \"FORMS<tab>WORD:WEIGHT ...\" for \"kkbuild --meaning\"\n"
         "\n"
         "Sources:\n"
         "  --american FILE     American word list, one UTF-8 word a line (default\n"
         "                      " << kDefaultAmerican << ", package wamerican-huge)\n"
         "  --british FILE      British word list (default\n"
         "                      " << kDefaultBritish << ", package wbritish-huge)\n"
         "  --wordnet-dir DIR   folder of WordNet's data.noun, data.verb, data.adj and\n"
         "                      data.adv (default " << kDefaultWordNet << ", package wordnet-base)\n"
         "  --scowl-dir DIR     SCOWL's lists by size level, for --scores (default\n"
         "                      " << kDefaultScowl << ", package scowl)\n"
         "  --language-model FILE  an English n-gram model in binary trie form, for\n"
         "                      --scores and --pairs (default\n"
         "                      " << kDefaultLanguageModel << ",\n"
         "                      package pocketsphinx-en-us)\n"
         "\n"
         "  -h, --help          show this help and exit\n"
         "      --version       show the program's version and exit\n"
         "\n"
         "Entries that the dictionaries cannot hold (characters outside Windows-1252,\n"
         "no letters, malformed lines) are dropped; the report on standard error\n"
         "counts them per source and reason. The exit status is 0 on success.\n";
}

int fail(const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
  return 1;
}

struct Source {
  std::string path;
  const char* package;     // the Debian package that installs the default
  bool isDefault;
};

// Reads a source file whole, or explains what is missing. Only a regular
// file is read: a pipe or device of that name is refused, not waited on.
bool readSource(const Source& source, std::istringstream& in, std::string& error) {
  std::string bytes;
  if (!kea::platform::readWholeFile(source.path, kea::kMaxInputBytes, bytes, &error, "a word list")) {
    if (source.isDefault && kea::platform::fileKindOf(source.path) == kea::platform::FileKind::Missing) {
      error += std::string(" (install the Debian package ") + source.package + ": apt-get install " + source.package + ")";
    }
    return false;
  }
  in.str(std::move(bytes));
  return true;
}

void printReport(const SourceReport& report, bool wordNet) {
  std::cerr << kProgram << ": " << report.name << ": ";
  if (wordNet) {
    std::cerr << report.linesRead << " synsets read, " << report.linesWritten << " written; "
              << report.headwordsRead << " lemmas read, " << report.headwordsWritten << " written";
    if (report.duplicates) std::cerr << ", " << report.duplicates << " repeated in their synset";
  } else {
    std::cerr << report.linesRead << " words read; " << report.linesWritten << " written, "
              << report.namedBySynset << " named by a synset, " << report.duplicates << " already listed";
  }
  std::cerr << "; " << report.droppedTotal() << " dropped\n";
  for (std::size_t i = 0; i < kea::prepare::kDropReasonCount; ++i) {
    if (report.dropped[i] == 0) continue;
    std::cerr << kProgram << ":     " << report.dropped[i] << " dropped for "
              << kea::prepare::dropReasonText(static_cast<DropReason>(i)) << ", first " << report.firstDropped[i]
              << '\n';
  }
}

// One output, written as KEA writes every file it names (see
// platform::OutputTarget): the file's place is made before any source is
// read, so an unwritable output is reported at once, and the file takes its
// name only once complete, so a failed or interrupted run never leaves a
// partial file that looks finished.
class Output {
 public:
  bool open(const std::string& path, std::string& error) {
    path_ = path;
    if (path == "-") return true;
    target_ = std::make_unique<kea::platform::OutputTarget>(path);
    return target_->open(&error);
  }

  std::ostream& stream() { return text_; }
  std::string name() const { return path_ == "-" ? "standard output" : path_; }

  bool commit(std::string& error) {
    const std::string text = text_.str();
    if (path_ == "-") {
      std::cout << text;
      std::cout.flush();
      if (kea::tools::standardOutputFailed()) error = "cannot write to standard output";
      return !kea::tools::standardOutputFailed();
    }
    if (!kea::platform::writeAll(target_->descriptor(), text.data(), text.size())) {
      error = "cannot write " + path_ + ": " + std::strerror(errno);
      return false;
    }
    return target_->commit(&error) == kea::platform::OutputTarget::Commit::Done;
  }

 private:
  std::string path_;
  std::unique_ptr<kea::platform::OutputTarget> target_;
  std::ostringstream text_;
};

int run(int argc, char** argv) {
  std::string englishOut, wordNetOut, scoresOut, pairsOut, meaningOut;
  std::string scowlDir = kDefaultScowl;
  std::string languageModel = kDefaultLanguageModel;
  Source american{kDefaultAmerican, "wamerican-huge", true};
  Source british{kDefaultBritish, "wbritish-huge", true};
  std::string wordNetDir = kDefaultWordNet;
  bool wordNetDirDefault = true;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      printUsage(std::cout);
      return 0;
    }
    if (arg == "--version") {
      std::cout << "kea-prepare " KEA_VERSION "\n";
      return 0;
    }
    const bool takesValue = arg == "--english" || arg == "--wordnet" || arg == "--american" ||
                            arg == "--british" || arg == "--wordnet-dir" || arg == "--scores" ||
                            arg == "--pairs" || arg == "--scowl-dir" || arg == "--language-model" ||
                            arg == "--meaning";
    if (!takesValue) return fail("unknown argument \"" + std::string(arg) + "\" (try --help)");
    if (i + 1 >= argc) return fail(std::string(arg) + " needs a value (try --help)");
    const std::string value = argv[++i];
    if (arg == "--english") englishOut = value;
    if (arg == "--wordnet") wordNetOut = value;
    if (arg == "--american") american = {value, "wamerican-huge", false};
    if (arg == "--british") british = {value, "wbritish-huge", false};
    if (arg == "--wordnet-dir") wordNetDir = value, wordNetDirDefault = false;
    if (arg == "--scores") scoresOut = value;
    if (arg == "--pairs") pairsOut = value;
    if (arg == "--meaning") meaningOut = value;
    if (arg == "--scowl-dir") scowlDir = value;
    if (arg == "--language-model") languageModel = value;
  }
  if ((!scoresOut.empty() || !pairsOut.empty() || !meaningOut.empty()) && englishOut.empty()) {
    return fail("--scores, --pairs and --meaning describe the words of --english: give --english too");
  }
  if (englishOut.empty() && wordNetOut.empty()) return fail("nothing to write: give --english or --wordnet (try --help)");
  if (englishOut == wordNetOut) {
    return fail(englishOut == "-" ? "only one output can go to standard output"
                                  : "--english and --wordnet name the same file");
  }

  // Every source is opened before any is read, so that a missing package is
  // reported at once.
  std::vector<Source> wordNetSources;
  for (const char* name : kWordNetFiles) {
    wordNetSources.push_back({(std::filesystem::path(wordNetDir) / name).string(), "wordnet-base", wordNetDirDefault});
  }
  std::vector<Source> lists;
  if (!englishOut.empty()) lists = {american, british};
  std::string error;
  Output english, wordNet;
  Output scores, pairs, meaning;
  if (!englishOut.empty() && !english.open(englishOut, error)) return fail(error);
  if (!scoresOut.empty() && !scores.open(scoresOut, error)) return fail(error);
  if (!pairsOut.empty() && !pairs.open(pairsOut, error)) return fail(error);
  if (!meaningOut.empty() && !meaning.open(meaningOut, error)) return fail(error);
  kea::prepare::MeaningLists meanings;
  if (!meaningOut.empty() && !meanings.load(wordNetDir, error)) return fail(error);
  kea::prepare::LanguageModel model;
  kea::prepare::Commonness commonness;
  if (!scoresOut.empty() || !pairsOut.empty()) {
    if (!model.load(languageModel, error)) return fail(error + " (install the Debian package pocketsphinx-en-us)");
    commonness.setLanguageModel(&model);
    if (!commonness.addScowl(scowlDir, error) || !commonness.addWordNet(wordNetDir, error)) return fail(error);
    std::cerr << kProgram << ": " << languageModel << ": " << model.wordCount() << " words, "
              << model.bigramCount() << " word pairs\n";
  }
  if (!wordNetOut.empty() && !wordNet.open(wordNetOut, error)) return fail(error);

  std::vector<std::istringstream> wordNetStreams(wordNetSources.size());
  std::vector<std::istringstream> listStreams(lists.size());
  for (std::size_t i = 0; i < wordNetSources.size(); ++i) {
    if (!readSource(wordNetSources[i], wordNetStreams[i], error)) return fail(error);
  }
  for (std::size_t i = 0; i < lists.size(); ++i) {
    if (!readSource(lists[i], listStreams[i], error)) return fail(error);
  }

  DictionaryPreparer preparer(kea::englishAlphabetTable());
  bool readFailed = false;
  const auto finishSource = [&](std::istringstream& in, SourceReport& report, bool wordNet) {
    if (in.bad()) {
      error = "error while reading " + report.name;
      readFailed = true;
    }
    printReport(report, wordNet);
  };
  for (std::size_t i = 0; i < wordNetSources.size(); ++i) {
    SourceReport report;
    report.name = wordNetSources[i].path;
    preparer.addWordNet(wordNetStreams[i], report);
    finishSource(wordNetStreams[i], report, true);
  }
  for (std::size_t i = 0; i < lists.size(); ++i) {
    SourceReport report;
    report.name = lists[i].path;
    preparer.addWordList(listStreams[i], report);
    finishSource(listStreams[i], report, false);
  }
  if (readFailed) return fail(error);

  if (!wordNetOut.empty()) {
    preparer.writeWordNet(wordNet.stream());
    if (!wordNet.commit(error)) return fail(error);
    std::cerr << kProgram << ": wrote " << wordNet.name() << ": " << preparer.synsetLineCount() << " synset lines\n";
  }
  if (!englishOut.empty()) {
    preparer.writeEnglish(english.stream());
    if (!english.commit(error)) return fail(error);
    std::cerr << kProgram << ": wrote " << english.name() << ": " << preparer.synsetLineCount()
              << " synset lines and " << preparer.wordLineCount() << " word lines\n";
  }
  if (!scoresOut.empty()) {
    const std::size_t lines = preparer.writeScores(scores.stream(), commonness);
    if (!scores.commit(error)) return fail(error);
    std::cerr << kProgram << ": wrote " << scores.name() << ": " << lines << " scored words\n";
  }
  if (!pairsOut.empty()) {
    const std::size_t lines = preparer.writePairs(pairs.stream(), commonness);
    if (!pairs.commit(error)) return fail(error);
    std::cerr << kProgram << ": wrote " << pairs.name() << ": " << lines << " word pairs\n";
  }
  if (!meaningOut.empty()) {
    const std::size_t lines = meanings.write(meaning.stream(), preparer.headwords());
    if (!meaning.commit(error)) return fail(error);
    std::cerr << kProgram << ": wrote " << meaning.name() << ": " << lines << " meaning documents\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C ends the program wherever it is; outputs not yet in place stay
  // as they were.
  kea::platform::endOnTerminationSignals("kea-prepare: interrupted; the outputs were left as they were");
  const int status = kea::tools::runGuarded(kProgram, 1, [&] { return run(argc, argv); });
  return kea::tools::finishStandardOutput(kProgram, status, 1);
}
