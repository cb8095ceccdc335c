#include "builder/CompanionJobs.h"

#include <algorithm>
#include <optional>

#include "builder/AlphabetFile.h"
#include "builder/BlockSummaryWriter.h"
#include "builder/DictionaryBuilder.h"
#include "builder/EnglishAlphabet.h"
#include "builder/InputText.h"
#include "builder/DictionarySave.h"
#include "builder/ScoreCompanions.h"
#include "builder/TextLineSource.h"
#include "builder/WordListMerge.h"
#include "platform/Cp1252.h"
#include "platform/OutputTarget.h"

namespace kea {
namespace {

// Lines for the builder that tell the job's progress and can be cancelled.
// The builder reads the lines three times (calibration and the two
// definition passes) and then asks once per entry while it writes the word
// lists, so the calls made so far against four times the lines measure how
// far it is.
class JobLineSource : public TextLineSource {
 public:
  JobLineSource(std::string text, std::size_t lineCount, const JobProgress& progress)
      : TextLineSource(std::move(text)), expectedCalls_(4 * lineCount + 1), progress_(progress) {}

  int nextLine(std::string* line, int counter) override {
    ++calls_;
    if ((calls_ & 63) == 1 && isCancelled()) return kAbandon;
    const int percent = static_cast<int>(std::min<std::size_t>(99, calls_ * 100 / expectedCalls_));
    if (percent != percent_) {
      percent_ = percent;
      if (progress_.progress) progress_.progress(text_, percent_);
    }
    return TextLineSource::nextLine(line, counter);
  }

  void status(const std::string& text) override {
    std::string shown = platform::cp1252ToUtf8(text);
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    text_ = shown;
    if (progress_.progress) progress_.progress(text_, percent_);
  }

  bool isCancelled() const { return progress_.cancelled && progress_.cancelled(); }

 private:
  std::size_t calls_ = 0;
  std::size_t expectedCalls_;
  int percent_ = 0;
  std::string text_;
  const JobProgress& progress_;
};

std::string plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The result of a failed build: the builder's log, then what became of the
// target, which a failed or cancelled build leaves as it was.
JobResult failedBuild(const JobLineSource& source, const std::string& target) {
  JobResult result;
  result.cancelled = source.isCancelled();
  result.report = platform::cp1252ToUtf8(source.log());
  if (result.cancelled) {
    result.report += "Cancelled: " + target + " was left as it was";
  } else {
    result.report += "Building " + target + " failed; it was left as it was";
  }
  return result;
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

JobResult failure(std::string report) {
  JobResult result;
  result.report = std::move(report);
  return result;
}

JobResult unreadable(std::string report) {
  JobResult result = failure(std::move(report));
  result.inputUnreadable = true;
  return result;
}

}  // namespace

JobResult runBuildJob(const BuildJob& job, const JobProgress& progress) {
  if (job.inputs.empty()) return failure("No input file was given");
  if (job.target.empty()) return failure("No dictionary file was given");
  std::string error;
  const auto alphabet = loadAlphabet(job.alphabet, &error);
  if (!alphabet) return job.alphabet == "english" ? failure(error) : unreadable(error);
  platform::CodecError codecError;
  const auto description = platform::utf8ToCp1252(job.description, &codecError);
  if (!description) return failure("The description cannot be stored: " + codecError.message());

  // The builder takes a library path (Windows-1252), like every text it is given.
  const auto target = platform::utf8ToCp1252(job.target, &codecError);
  if (!target) return failure("Cannot build " + job.target + ": its name " + codecError.message());

  std::string lines;
  std::size_t lineCount = 0;
  for (const std::string& input : job.inputs) {
    // A dictionary written over its own input would lose the input.
    if (isSameFile(input, job.target)) return failure("The target " + job.target + " is one of the input files");
    std::string bytes;
    if (!readInputFile(input, bytes, &error)) return unreadable(error);
    InputText text = prepareInputText(bytes, !job.cp1252);
    std::string().swap(bytes);
    const std::string inputName = input == "-" ? "standard input" : input;
    if (text.problemLines > 0) {
      std::string report;
      for (const std::string& problem : text.problems) report += inputName + ": " + problem + "\n";
      if (text.problemLines > text.problems.size()) {
        report += inputName + ": ... and " + std::to_string(text.problemLines - text.problems.size()) + " more\n";
      }
      report += plural(text.problemLines, "line", "lines") + " of " + inputName + " cannot be converted to Windows-1252";
      JobResult result = failure(report);
      result.unconvertible = true;
      return result;
    }
    lines += text.lines;
    lineCount += text.lineCount;
  }

  // Scores, pairs and meanings are read and checked before the build.
  CompanionData companions;
  companions.scores.addLines(lines);
  std::string listText;
  const auto readList = [&](const std::string& list, bool convert) -> std::optional<JobResult> {
    if (!readInputFile(list, listText, &error)) return unreadable(error);
    if (!convert) return std::nullopt;
    InputText converted = prepareInputText(listText, !job.cp1252);
    if (converted.problemLines > 0) return failure(list + ": " + converted.problems.front());
    listText = std::move(converted.lines);
    return std::nullopt;
  };
  for (const std::string& list : job.scoreLists) {
    if (auto failed = readList(list, true)) return *failed;
    companions.scores.addLines(listText);
  }
  for (const std::string& list : job.pairLists) {
    if (auto failed = readList(list, false)) return *failed;
    if (!addPairLines(listText, companions.wordPairs, &error)) return failure(list + ": " + error);
  }
  for (const std::string& list : job.meaningLists) {
    if (auto failed = readList(list, true)) return *failed;
    if (!companions.meanings.addLines(listText, &error)) return failure(list + ": " + platform::cp1252ToUtf8(error));
  }
  std::string().swap(listText);

  JobLineSource source(std::move(lines), lineCount, progress);
  std::string notices;
  source.onNotice([&](const std::string& text) {
    const std::string shown = platform::cp1252ToUtf8(text);
    if (progress.notice) {
      progress.notice(shown);
    } else {
      notices += shown + "\n";
    }
  });
  if (!saveDictionary(source, *alphabet, *target, *description, job.shortest, job.longest, {}, true,
                      &companions)) {
    return failedBuild(source, job.target);
  }
  JobResult result;
  result.ok = true;
  result.report = notices + "Built " + job.target + " from " + plural(lineCount, "line", "lines");
  std::vector<std::string> extras;
  if (companions.scoredEntries > 0) extras.push_back(plural(companions.scoredEntries, "entry", "entries") + " scored");
  if (!companions.wordPairs.empty()) extras.push_back(plural(companions.wordPairs.size(), "word pair", "word pairs"));
  if (companions.describedEntries > 0) {
    extras.push_back(plural(companions.describedEntries, "entry", "entries") + " with a meaning");
  }
  for (std::size_t i = 0; i < extras.size(); ++i) result.report += (i == 0 ? "; " : ", ") + extras[i];
  return result;
}

std::string mergedDescription(const std::vector<std::string>& inputs) {
  std::string description = "Merged from ";
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (i > 0) description += ", ";
    description += inputs[i] == "-" ? "standard input" : nameOf(inputs[i]);
  }
  return description;
}

JobResult runMergeJob(const MergeJob& job, const JobProgress& progress) {
  if (job.inputs.empty()) return failure("No word list was given");
  if (job.target.empty()) return failure("No target file was given");
  const bool toDictionary = isDictionaryTarget(job.target);

  // Everything that can be wrong with the settings is found before the
  // inputs are read.
  platform::CodecError codecError;
  std::optional<std::string> description, target;
  if (toDictionary) {
    description = platform::utf8ToCp1252(job.description.empty() ? mergedDescription(job.inputs) : job.description,
                                         &codecError);
    if (!description) return failure("The description cannot be stored: " + codecError.message());
    target = platform::utf8ToCp1252(job.target, &codecError);
    if (!target) return failure("Cannot build " + job.target + ": its name " + codecError.message());
  }
  std::optional<std::array<std::uint8_t, 256>> alphabet;
  std::string error;
  if (toDictionary && !job.alphabet.empty()) {
    alphabet = loadAlphabet(job.alphabet, &error);
    if (!alphabet) return failure(error);
  }

  WordListMerge merge(job.fold);
  for (const std::string& input : job.inputs) {
    if (isDictionaryTarget(input)) {
      const auto path = platform::utf8ToCp1252(input, &codecError);
      if (!path) return failure(input + ": the name " + codecError.message());
      if (!merge.addDictionary(*path, &error)) return unreadable(error);
    } else {
      std::string bytes;
      if (!readInputFile(input, bytes, &error)) return unreadable(error);
      if (!merge.addText(bytes, input == "-" ? "standard input" : input, &error, !job.cp1252)) return failure(error);
    }
    if (progress.cancelled && progress.cancelled()) {
      JobResult result = failure("Cancelled: " + job.target + " was left as it was");
      result.cancelled = true;
      return result;
    }
  }
  const std::vector<WordListMerge::Entry> entries = merge.merged();
  const std::string lines = WordListMerge::builderText(entries);

  JobResult result;
  std::string summary = plural(entries.size(), "entry", "entries") + " from " +
                        plural(job.inputs.size(), "input", "inputs");
  if (merge.addedCount() > entries.size()) summary += ", " + plural(merge.addedCount() - entries.size(), "duplicate", "duplicates") + " left out";
  if (merge.leftOutDefinitions() > 0) {
    summary += ", " + plural(merge.leftOutDefinitions(), "definition", "definitions") + " left out (word lists keep words only)";
  }
  if (job.target == "-") {
    result.ok = true;
    result.text = platform::cp1252ToUtf8(lines);
    result.report = "Merged " + summary;
    return result;
  }
  if (!toDictionary) {
    if (!platform::writeWholeFile(job.target, platform::cp1252ToUtf8(lines), &error, texts::kBackupPrefix)) {
      return failure(error + "\n" + job.target + " was left as it was");
    }
    result.ok = true;
    result.report = "Merged " + summary + " into " + job.target;
    return result;
  }

  if (!alphabet) alphabet = merge.firstAlphabet() ? *merge.firstAlphabet() : englishAlphabetTable();
  JobLineSource source(lines, entries.size(), progress);
  CompanionData companions;
  for (const WordListMerge::Entry& entry : entries) {
    if (entry.score >= 0) companions.scores.add(entry.text, entry.score);
  }
  companions.pairs = merge.pairs();
  if (!saveDictionary(source, *alphabet, *target, *description, 1, 100, {}, true, &companions)) {
    return failedBuild(source, job.target);
  }
  result.ok = true;
  result.report = "Merged " + summary + " into " + job.target;
  return result;
}

}  // namespace kea
