// The ten letter variables of a pattern ("0"-"9") while one word is matched,
// and the guard that gives matching its backtracking: bindings made inside
// an attempt that fails are undone before the next alternative is tried.
#pragma once

#include <array>
#include <cstdint>

namespace kea {

struct VariableBindings {
  static constexpr std::uint8_t kUnbound = 254;

  // Per variable: its alphabet index, or kUnbound. Meaningful only when live.
  std::array<std::uint8_t, 10> value{};
  // A table that is not live counts as all unbound; resetting it for a new
  // word is then a single store.
  bool live = false;
  // "Exclusive letter variables": two variables never stand for one letter.
  bool exclusive = true;

  void reset() { live = false; }

  void makeLive() {
    if (!live) {
      value.fill(kUnbound);
      live = true;
    }
  }

  std::uint8_t lookup(int variable) {
    makeLive();
    return value[static_cast<std::size_t>(variable)];
  }

  // Whether a variable other than `variable` stands for `letter`.
  bool heldByOther(int variable, std::uint8_t letter) const {
    if (!live) return false;
    for (int v = 0; v < 10; ++v) {
      if (v != variable && value[static_cast<std::size_t>(v)] == letter) return true;
    }
    return false;
  }

  // Binds an unbound variable to the letter (unless, with exclusive
  // variables, another variable already has it) or checks a bound one.
  bool bindOrCheck(int variable, std::uint8_t letter) {
    makeLive();
    std::uint8_t& slot = value[static_cast<std::size_t>(variable)];
    if (slot == kUnbound) {
      if (exclusive && heldByOther(variable, letter)) return false;
      slot = letter;
      return true;
    }
    return slot == letter;
  }
};

// Guard for one matching attempt: unless keep() is called, the bindings are
// put back as they were on entry when the attempt ends.
class VariableValues {
 public:
  explicit VariableValues(VariableBindings& bindings)
      : bindings_(bindings), wasLive_(bindings.live), saved_(bindings.value) {}
  VariableValues(const VariableValues&) = delete;
  VariableValues& operator=(const VariableValues&) = delete;
  ~VariableValues() {
    if (kept_) return;
    if (wasLive_) {
      bindings_.value = saved_;
    } else {
      bindings_.live = false;
    }
  }

  void keep() { kept_ = true; }

  // Whether the bindings are still as they were on entry.
  bool unchanged() const {
    if (!bindings_.live) return true;
    if (!wasLive_) {
      for (const std::uint8_t v : bindings_.value) {
        if (v != VariableBindings::kUnbound) return false;
      }
      return true;
    }
    return bindings_.value == saved_;
  }

 private:
  VariableBindings& bindings_;
  bool wasLive_;
  bool kept_ = false;
  std::array<std::uint8_t, 10> saved_;
};

}  // namespace kea
