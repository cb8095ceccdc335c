// A quick test of whether the rest of a template can still match, for
// templates that bind letter variables between wildcards ("*1*2*3*1*2*3*").
//
// Such a template is a chain of runs with or without a wildcard before each.
// Matching it tries every place for every variable, and the bindings made
// early decide whether anything can match much later, so the search grows
// with the number of ways of binding the variables. After each new binding
// the matcher asks this outline whether the runs still to come can be laid
// down at all: a bound variable stands for its letter, an unbound one for
// any letter no other variable holds (with exclusive variables), a choice
// list for any letter. Every match of the template is such a layout, so an
// outline that finds none proves the attempt fails; and with wildcards
// between the runs, laying each run down at its earliest fitting place is
// a layout whenever any is (a later run only gains room). The check reads
// the word once and allocates nothing.
//
// Only a whole-word template of runs and wildcards has an outline: no
// sub-patterns, anagram parts or significant punctuation.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pattern/Program.h"
#include "pattern/VariableBindings.h"

namespace kea {

class TemplateOutline {
 public:
  // The outline of a compiled main program, or nullptr when its shape is
  // not a template of runs and wildcards binding letter variables.
  static std::unique_ptr<TemplateOutline> forProgram(const std::vector<std::uint8_t>& program);

  // Index of the run that follows the run whose opcode stands at pc.
  int stepAfter(int pc) const { return stepAfter_[static_cast<std::size_t>(pc)]; }

  // Whether the runs from `step` on can be laid down from letter position
  // `from` of the word (`length` letters, alphabet indices in `key`).
  bool feasible(int step, int from, const std::uint8_t* key, int length, const VariableBindings& bindings) const;

 private:
  enum class ItemKind : std::uint8_t { Letter, Variable, Any };
  struct Item {
    std::uint8_t position;
    ItemKind kind;
    std::uint8_t value;  // alphabet index or variable number
  };
  struct Step {
    bool afterWildcard;
    int length;
    int firstItem;
    int itemCount;
  };

  bool fits(const Step& step, int at, const std::uint8_t* key, const std::uint8_t* values,
            const std::uint64_t* held) const;
  void addRun(Inst run, bool afterWildcard);

  std::vector<Step> steps_;
  std::vector<Item> items_;
  std::vector<std::int16_t> stepAfter_;  // per program position
  bool endsWithWildcard_ = false;
};

}  // namespace kea
