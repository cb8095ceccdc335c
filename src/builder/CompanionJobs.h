// The work of the companion programs, kkbuild (a dictionary from builder
// input files) and kkmerge (word lists merged into one), as one call each,
// so that a window can run it on a worker thread and follow its progress.
// File names and texts here are the operating system's UTF-8; the
// dictionaries' own text stays Windows-1252 inside.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kea {

// What a job reports while it runs. Both are called on the job's thread.
struct JobProgress {
  // The builder's progress text (UTF-8) and how far the job is, 0 … 100.
  std::function<void(const std::string& text, int percent)> progress;
  // Polled between lines: true abandons the job, leaving the target as it was.
  std::function<bool()> cancelled;
  // Input the builder left out (headwords too long, say). Without a
  // callback these lines go into the report of a job that succeeded.
  std::function<void(const std::string& text)> notice;
};

struct JobResult {
  bool ok = false;
  bool cancelled = false;
  // An input could not be read at all (missing, a folder, a pipe, too large),
  // or an alphabet file was unusable.
  bool inputUnreadable = false;
  // Lines of an input could not be converted to Windows-1252.
  bool unconvertible = false;
  // Success: one line saying what was written. Failure: the reasons, one
  // per line (the builder's log when the build failed).
  std::string report;
  // kkmerge to standard output: the merged list (UTF-8).
  std::string text;
};

struct BuildJob {
  std::vector<std::string> inputs;  // builder input files ("-" for standard input)
  bool cp1252 = false;              // the inputs are Windows-1252 already, else UTF-8
  std::string alphabet = "english"; // or an alphabet file
  std::string description;
  int shortest = 1;
  int longest = 100;
  std::string target;
  // Companion lists, in the inputs' encoding except the pair lists, which
  // are read as they are: scored lines ("word;score"), word pairs ("first
  // second;bonus") and meaning lists ("FORMS<tab>WORD:WEIGHT ...").
  std::vector<std::string> scoreLists;
  std::vector<std::string> pairLists;
  std::vector<std::string> meaningLists;
};

// Builds `job.target` from the lines of every input, in order. Every input
// and list is read and checked before the build starts, so that a bad one
// leaves the target as it was. The dictionary is written under a temporary
// name and replaces the target only when complete.
JobResult runBuildJob(const BuildJob& job, const JobProgress& progress = {});

struct MergeJob {
  // Word lists (text files, "-" for standard input) and dictionaries (names
  // ending in ".kkd").
  std::vector<std::string> inputs;
  bool fold = false;
  bool cp1252 = false;              // text inputs are Windows-1252 already
  // A text file, "-" for standard output (JobResult::text), or a ".kkd"
  // dictionary, which keeps the previous one as "Backup of " + its name.
  std::string target;
  std::string description;          // for a dictionary; empty: "Merged from " + the inputs' names
  std::string alphabet;             // for a dictionary; empty: the first input dictionary's, else "english"
};

JobResult runMergeJob(const MergeJob& job, const JobProgress& progress = {});

// The description a merged dictionary gets when none is given.
std::string mergedDescription(const std::vector<std::string>& inputs);

}  // namespace kea
