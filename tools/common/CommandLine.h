// The command lines of KEA's programs, all read the same way: operands and
// options in any order; "--" ends the options, so that an operand may start
// with '-'; "-" alone is an operand (standard input, for the programs that
// read it); an option's value is attached ("--name=value") or is the next
// argument ("--name value", "-n value").
//
//   CommandLine line(args);
//   while (line.next()) {
//     if (line.isOperand()) { ... line.text() ...; continue; }
//     if (line.text() == "--output") { std::string value; if (!line.takeValue(value)) ...; }
//   }
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kea::tools {

class CommandLine {
 public:
  explicit CommandLine(std::vector<std::string> args) : args_(std::move(args)) {}
  // The arguments after the program's name.
  CommandLine(int argc, char** argv) : args_(argc > 1 ? argv + 1 : argv, argc > 1 ? argv + argc : argv) {}

  // Moves to the next argument, after any value the last option took;
  // false when there are no more.
  bool next() {
    while (++index_ < args_.size()) {
      text_ = args_[index_];
      attached_.reset();
      operand_ = optionsEnded_ || text_.size() < 2 || text_[0] != '-';
      if (operand_) return true;
      if (text_ == "--") {
        optionsEnded_ = true;
        continue;
      }
      if (const std::size_t equals = text_.find('='); text_.starts_with("--") && equals != std::string::npos) {
        attached_ = text_.substr(equals + 1);
        text_.resize(equals);
      }
      return true;
    }
    return false;
  }

  // Whether the current argument is an operand rather than an option.
  bool isOperand() const { return operand_; }
  // The operand as given, or the option's name without its attached value.
  const std::string& text() const { return text_; }
  // Whether the option came with "=value".
  bool hasAttachedValue() const { return attached_.has_value(); }

  // The option's value: the attached one, else the next argument, which it
  // then takes. False when there is none.
  bool takeValue(std::string& value) {
    if (attached_) {
      value = *attached_;
      return true;
    }
    if (index_ + 1 >= args_.size()) return false;
    value = args_[++index_];
    return true;
  }

  // A switch: sets `into` to `setting`, or is false when the option came
  // with a value, which a switch does not take.
  bool takeSwitch(bool& into, bool setting = true) {
    if (attached_) return false;
    into = setting;
    return true;
  }

 private:
  std::vector<std::string> args_;
  std::size_t index_ = static_cast<std::size_t>(-1);
  std::string text_;
  std::optional<std::string> attached_;
  bool operand_ = false;
  bool optionsEnded_ = false;
};

}  // namespace kea::tools
