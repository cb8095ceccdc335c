#include "pattern/TemplateOutline.h"

#include "pattern/Program.h"

namespace kea {

std::unique_ptr<TemplateOutline> TemplateOutline::forProgram(const std::vector<std::uint8_t>& program) {
  if (program.size() < 4 || (program[0] != OP_PATTERN && program[0] != OP_PATTERN_VARIABLE)) return nullptr;
  auto outline = std::make_unique<TemplateOutline>();
  outline->stepAfter_.assign(program.size(), -1);
  const Code c(program);
  bool afterWildcard = false;
  bool variables = false;
  // The body: runs, and wildcards each followed by its nested segment,
  // which holds the rest; then the segments' OP_ENDs.
  for (int pc = kProgramBody;;) {
    const Inst here(c, pc);
    if (here.isRun()) {
      const std::size_t before = outline->items_.size();
      outline->addRun(here, afterWildcard);
      for (std::size_t i = before; i < outline->items_.size(); ++i) variables |= outline->items_[i].kind == ItemKind::Variable;
      outline->stepAfter_[static_cast<std::size_t>(pc)] = static_cast<std::int16_t>(outline->steps_.size());
      afterWildcard = false;
      pc = here.runEnd();
    } else if (here.isSkip()) {
      afterWildcard = true;
      pc = here.nested();
    } else if (here.is(OP_END)) {
      outline->endsWithWildcard_ = afterWildcard;
      break;
    } else {
      return nullptr;
    }
  }
  if (!variables) return nullptr;
  return outline;
}

void TemplateOutline::addRun(Inst run, bool afterWildcard) {
  Step step{afterWildcard, run.runLength(), static_cast<int>(items_.size()), 0};
  for (RunItem item = run.firstItem(); !item.atEnd(); item = item.next()) {
    const auto position = static_cast<std::uint8_t>(item.position());
    if (item.isLetter()) {
      items_.push_back({position, ItemKind::Letter, item.letter()});
    } else if (item.isVariable()) {
      items_.push_back({position, ItemKind::Variable, item.variable()});
    } else {
      items_.push_back({position, ItemKind::Any, 0});
    }
    ++step.itemCount;
  }
  steps_.push_back(step);
}

bool TemplateOutline::fits(const Step& step, int at, const std::uint8_t* key, const std::uint8_t* values,
                           const std::uint64_t* held) const {
  for (int i = 0; i < step.itemCount; ++i) {
    const Item& item = items_[static_cast<std::size_t>(step.firstItem + i)];
    const std::uint8_t x = key[at + item.position];
    if (item.kind == ItemKind::Letter) {
      if (x != item.value) return false;
    } else if (item.kind == ItemKind::Variable) {
      const std::uint8_t bound = values[item.value];
      if (bound != VariableBindings::kUnbound ? x != bound : (held[x >> 6] >> (x & 63) & 1) != 0) return false;
    }
  }
  return true;
}

bool TemplateOutline::feasible(int step, int from, const std::uint8_t* key, int length,
                               const VariableBindings& bindings) const {
  std::uint8_t values[10];
  std::uint64_t held[4] = {0, 0, 0, 0};
  for (int v = 0; v < 10; ++v) {
    values[v] = bindings.live ? bindings.value[static_cast<std::size_t>(v)] : VariableBindings::kUnbound;
    if (bindings.exclusive && values[v] != VariableBindings::kUnbound) held[values[v] >> 6] |= std::uint64_t{1} << (values[v] & 63);
  }
  int at = from;
  const int count = static_cast<int>(steps_.size());
  for (int i = step; i < count; ++i) {
    const Step& s = steps_[static_cast<std::size_t>(i)];
    if (!s.afterWildcard) {
      if (at + s.length > length || !fits(s, at, key, values, held)) return false;
    } else if (i + 1 == count && !endsWithWildcard_) {
      // The last run closes the word.
      if (length - s.length < at || !fits(s, length - s.length, key, values, held)) return false;
      at = length - s.length;
    } else {
      while (at + s.length <= length && !fits(s, at, key, values, held)) ++at;
      if (at + s.length > length) return false;
    }
    at += s.length;
  }
  return endsWithWildcard_ ? at <= length : at == length;
}

}  // namespace kea
