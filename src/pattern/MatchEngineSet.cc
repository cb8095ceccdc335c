// The line layer: macro expansion, splitting a line into patterns and group
// tokens, and the left-to-right evaluation of the tokens for a word.
#include "pattern/MatchEngineSet.h"

#include <algorithm>
#include <unordered_map>

namespace kea {

std::string expandMacros(std::string_view text, std::string_view atExpansion,
                         std::string_view hashExpansion) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '@' && !atExpansion.empty()) {
      out += atExpansion;
    } else if (c == '#' && !hashExpansion.empty()) {
      out += hashExpansion;
    } else if (c == '\\' && i + 1 < text.size()) {
      out += c;
      out += text[++i];
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

bool escapedAt(std::string_view text, std::size_t i) { return i > 0 && text[i - 1] == '\\'; }

// Parentheses that pair up within a piece belong to sub-patterns; the
// others open or close groups. A "(" before the last "!" must be a group
// open, since a pattern never starts with "!". Takes the group closes (and
// spaces) off the end of the piece, counting the closes, and returns how
// many group opens stand at its start.
int splitGroups(std::string_view& piece, int& closesFound) {
  int opens = 0;
  int closes = 0;
  int opensBeforeBang = 0;
  for (std::size_t j = 0; j < piece.size(); ++j) {
    if (escapedAt(piece, j)) continue;
    if (piece[j] == '(') ++opens;
    if (piece[j] == ')') ++closes;
    if (piece[j] == '!') opensBeforeBang = opens;
  }
  const int paired = std::min({opens, closes, opens - opensBeforeBang});
  int groupCloses = closes - paired;
  while (!piece.empty()) {
    const std::size_t last = piece.size() - 1;
    if (piece[last] == ' ') {
      piece.remove_suffix(1);
    } else if (piece[last] == ')' && groupCloses > 0 && !escapedAt(piece, last)) {
      piece.remove_suffix(1);
      --groupCloses;
      ++closesFound;
    } else {
      break;
    }
  }
  return opens - paired;
}

}  // namespace

PatternStatus MatchEngineSet::parseExpression(const Alphabet& alphabet, std::string_view text,
                                              int shortest, int longest,
                                              bool ignoreUnusedPunctuation,
                                              bool variablesExclusive) {
  operands_.clear();
  tokens_.clear();
  std::vector<std::string_view> texts;  // per slot, the text of its pattern
  int depth = 0;
  PatternStatus groups = PatternStatus::Valid;
  std::size_t pos = 0;
  for (;;) {
    // The piece runs to the next "&" or "|" that is not escaped.
    std::size_t split = pos;
    std::uint8_t op = TOKEN_END;
    for (; split < text.size(); ++split) {
      const char c = text[split];
      if ((c == '&' || c == '|') && !escapedAt(text, split)) {
        op = c == '&' ? TOKEN_AND : TOKEN_OR;
        break;
      }
    }
    std::string_view piece = text.substr(pos, split - pos);

    int closesFound = 0;
    int groupOpens = splitGroups(piece, closesFound);

    bool negate = false;
    while (!piece.empty()) {
      const char c = piece.front();
      if (c == '(' && groupOpens > 0) {
        tokens_.push_back(static_cast<std::uint8_t>(TOKEN_OPEN | (negate ? TOKEN_NOT : 0)));
        operands_.push_back(nullptr);
        texts.emplace_back();
        negate = false;
        --groupOpens;
        ++depth;
      } else if (c == '!') {
        negate = !negate;
      } else if (c != ' ') {
        break;
      }
      piece.remove_prefix(1);
    }

    auto engine = std::make_unique<MatchEngine>();
    engine->setShortest(shortest);
    engine->setLongest(longest);
    engine->compile(alphabet, piece, ignoreUnusedPunctuation, variablesExclusive);

    if (depth > kMaxGroupDepth && groups == PatternStatus::Valid) groups = PatternStatus::SubpatternUnfinished;
    depth -= closesFound;
    if (depth < 0 && groups == PatternStatus::Valid) groups = PatternStatus::StrayClose;

    // The pattern sits in the slot of the first token after it.
    const std::uint8_t notFlag = negate ? TOKEN_NOT : 0;
    texts.push_back(piece);
    if (closesFound > 0) {
      tokens_.push_back(static_cast<std::uint8_t>(TOKEN_CLOSE | notFlag));
      operands_.push_back(std::move(engine));
      for (int i = 1; i < closesFound; ++i) {
        tokens_.push_back(TOKEN_CLOSE);
        operands_.push_back(nullptr);
        texts.emplace_back();
      }
      tokens_.push_back(op);
      operands_.push_back(nullptr);
      texts.emplace_back();
    } else {
      tokens_.push_back(static_cast<std::uint8_t>(op | notFlag));
      operands_.push_back(std::move(engine));
    }
    if (op == TOKEN_END) break;
    pos = split + 1;
  }

  dropRepeats(texts);
  shareRepeats(texts);
  // Counted once: the balance of every result asks for it.
  patternCount_ =
      static_cast<int>(std::ranges::count_if(operands_, [](const auto& operand) { return operand != nullptr; }));
  status_ = groups;
  if (status_ == PatternStatus::Valid && depth > 0) status_ = PatternStatus::SubpatternUnfinished;
  if (status_ == PatternStatus::Valid) {
    for (const auto& operand : operands_) {
      if (operand != nullptr && operand->status() != PatternStatus::Valid) {
        status_ = operand->status();
        break;
      }
    }
  }
  return status_;
}

// A pattern joined by "&" to the same pattern (as written, and negated or
// not alike) is true exactly when that one is: "p & (p & rest)" is
// "p & rest" and "p & p" is "p"; the same holds for "|". Such a slot is left
// out of the evaluation of words and lengths, so that a line repeating one
// pattern costs what the pattern costs.
void MatchEngineSet::dropRepeats(const std::vector<std::string_view>& texts) {
  evaluated_.clear();
  const std::size_t count = tokens_.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t kind = tokens_[i] & kTokenKindMask;
    if (i + 1 < count && operands_[i] != nullptr && operands_[i + 1] != nullptr &&
        (kind == TOKEN_AND || kind == TOKEN_OR) && texts[i] == texts[i + 1] &&
        ((tokens_[i] ^ tokens_[i + 1]) & TOKEN_NOT) == 0) {
      const std::uint8_t next = tokens_[i + 1] & kTokenKindMask;
      if (next == kind || next == TOKEN_END || next == TOKEN_CLOSE) continue;
    }
    evaluated_.push_back(static_cast<std::uint32_t>(i));
  }
}



// Patterns of one line share no letter variables and are compiled with the
// same settings, so two slots holding the same text answer alike for every
// word. Lines without such repeats keep the plain evaluation.
void MatchEngineSet::shareRepeats(const std::vector<std::string_view>& texts) {
  const std::size_t count = tokens_.size();
  firstWriting_.assign(count, 0);
  answerStamps_.assign(count, 0);
  answers_.assign(count, 0);
  wordStamp_ = 0;
  repeats_ = false;
  std::unordered_map<std::string_view, std::uint32_t> first;
  for (std::size_t i = 0; i < count; ++i) {
    firstWriting_[i] = static_cast<std::uint32_t>(i);
    if (operands_[i] == nullptr) continue;
    const auto [at, added] = first.emplace(texts[i], static_cast<std::uint32_t>(i));
    if (!added) {
      firstWriting_[i] = at->second;
      repeats_ = true;
    }
  }
}

bool MatchEngineSet::operandMatches(std::size_t slot, MatchEngine& operand, WordBuffer& word, int length) {
  if (length < operand.effectiveShortest() || length > operand.effectiveLongest()) return false;
  if (!repeats_) return operand.matches(word);
  const std::uint32_t first = firstWriting_[slot];
  if (answerStamps_[first] != wordStamp_) {
    answers_[first] = operand.matches(word) ? 1 : 0;
    answerStamps_[first] = wordStamp_;
  }
  return answers_[first] != 0;
}

bool MatchEngineSet::evaluate(EvaluateMode mode, WordBuffer* word, int length,
                              std::span<const std::uint8_t> satisfied) {
  const bool negations = mode != EvaluateMode::Length;
  // Constant mode answers per slot as given, so it reads every slot.
  const bool compact = mode != EvaluateMode::Constant;
  const std::size_t count = compact ? evaluated_.size() : tokens_.size();
  const auto slot = [&](std::size_t j) { return compact ? evaluated_[j] : j; };
  if (mode == EvaluateMode::Match && repeats_ && ++wordStamp_ == 0) {
    // Stamps wrapped around: forget every answer rather than trust one
    // given four billion words ago.
    std::ranges::fill(answerStamps_, 0);
    wordStamp_ = 1;
  }
  std::uint8_t stack[kMaxGroupDepth + 1];
  int top = 0;
  bool r = true;
  for (std::size_t j = 0; j < count; ++j) {
    const std::size_t i = slot(j);
    const std::uint8_t token = tokens_[i];
    const std::uint8_t kind = token & kTokenKindMask;
    if (kind == TOKEN_OPEN) {
      if (top > kMaxGroupDepth) return false;
      stack[top++] = token;
      continue;
    }
    if (MatchEngine* operand = operands_[i].get()) {
      switch (mode) {
        case EvaluateMode::Constant:
          r = i < satisfied.size() && satisfied[i] == 1;
          break;
        case EvaluateMode::Length:
          r = operand->effectiveShortest() <= length && length <= operand->effectiveLongest();
          break;
        case EvaluateMode::Match:
          r = word != nullptr && operandMatches(i, *operand, *word, length);
          break;
      }
    }
    if ((token & TOKEN_NOT) != 0 && negations) r = !r;
    if (kind == TOKEN_END) return r;
    if (kind == TOKEN_CLOSE) {
      if (top == 0) return r;
      if ((stack[--top] & TOKEN_NOT) != 0 && negations) r = !r;
    }
    if ((kind == TOKEN_OR && r) || (kind == TOKEN_AND && !r)) {
      if (top == 0) return r;
      // The rest of the current group cannot change its value.
      int nested = 0;
      for (++j; j < count; ++j) {
        const std::uint8_t skipped = tokens_[slot(j)] & kTokenKindMask;
        if (skipped == TOKEN_OPEN) ++nested;
        if (skipped == TOKEN_CLOSE && nested-- == 0) break;
      }
      if (j == count) return r;
      if ((stack[--top] & TOKEN_NOT) != 0 && negations) r = !r;
    }
  }
  return r;
}

bool MatchEngineSet::matches(WordBuffer& word, int length) {
  if (isSinglePattern()) return operands_[0]->matches(word);
  return evaluate(EvaluateMode::Match, &word, length);
}

std::pair<int, int> MatchEngineSet::lengthRange() {
  int first = UNBOUNDED_LENGTH;
  int last = 0;
  for (int n = 1; n <= kkd::kMaxWordLength; ++n) {
    if (!evaluate(EvaluateMode::Length, nullptr, n)) continue;
    first = std::min(first, n);
    last = n;
  }
  return {first, last};
}

void MatchEngineSet::setLengthLimits(int shortest, int longest) {
  for (const auto& operand : operands_) {
    if (operand == nullptr) continue;
    operand->setShortest(shortest);
    operand->setLongest(longest);
  }
}

bool MatchEngineSet::setLength(int length) {
  bool possible = true;
  for (const auto& operand : operands_) {
    if (operand == nullptr) continue;
    if (operand->effectiveShortest() <= length && length <= operand->effectiveLongest()) {
      operand->setWordLength(length);
    } else {
      possible = false;
    }
  }
  return possible || tokens_.size() != 1;
}

int MatchEngineSet::preferredOrder() const {
  int sum = 0;
  for (const auto& operand : operands_) {
    if (operand != nullptr) sum += operand->lengthKind();
  }
  return sum >= 0 ? 1 : -1;
}

std::string MatchEngineSet::balance() const {
  if (patternCount() != 1) return {};
  for (const auto& operand : operands_) {
    if (operand != nullptr) return operand->balanceText();
  }
  return {};
}

EmptyOperand findEmptyOperand(std::string_view line) {
  // The pieces between the operators, each with whether it holds anything.
  std::vector<bool> filled;
  std::vector<std::size_t> operators;
  bool current = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if ((c == '&' || c == '|') && !escapedAt(line, i)) {
      filled.push_back(current);
      operators.push_back(i);
      current = false;
    } else if (c != ' ' && c != '!' && c != '(' && c != ')') {
      current = true;
    }
  }
  filled.push_back(current);
  EmptyOperand found;
  if (operators.empty() || std::ranges::none_of(filled, [](bool f) { return f; })) return found;
  for (std::size_t piece = 0; piece < filled.size(); ++piece) {
    if (filled[piece]) continue;
    if (piece == 0) {
      found.side = EmptyOperand::Side::Before;
      found.position = operators[0];
    } else if (piece == filled.size() - 1) {
      found.side = EmptyOperand::Side::After;
      found.position = operators[piece - 1];
    } else {
      found.side = EmptyOperand::Side::Between;
      found.position = operators[piece - 1];
    }
    found.op = line[found.position];
    return found;
  }
  return found;
}

}  // namespace kea
