#include "definitions/DefinitionBrowser.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "definitions/NaturalCompare.h"

namespace kea {

namespace {

constexpr std::string_view kLookupMenuTemplate = "&Lookup *";
constexpr std::string_view kLookupInNewWindowMenuTemplate = "Lookup in &New Window *...";

// A word shown in a menu: an ampersand in it is doubled so that it shows as
// itself instead of marking an access key.
std::string menuSafe(std::string_view word) {
  std::string out;
  for (const char c : word) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

std::string formatNumbers(const char* pattern, int a, int b) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, a, b);
  return buffer;
}

}  // namespace

DefinitionBrowser::DefinitionBrowser(int windowNumber, const UserOptions& options,
                                             DefinitionWorkspace& workspace, DefinitionFrameView& frame,
                                             DefinitionTreeView& tree, DefinitionTextView& text)
    : windowNumber_(windowNumber),
      options_(options),
      workspace_(workspace),
      frame_(frame),
      tree_(tree),
      text_(text) {}

std::string DefinitionBrowser::captionSuffix(int windowNumber) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " - %s [%d]", "Definition", windowNumber);
  return buffer;
}

std::string DefinitionBrowser::placementKey(int windowNumber) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%d%s", "Definition", windowNumber, "Position");
  return buffer;
}

bool DefinitionBrowser::splitterMoveAllowed(int from, int to, int clientWidth, int gap) {
  const int minimum = 8 * gap;
  if (to < from) return to - gap >= minimum;        // the tree pane shrinks
  if (to > from) return clientWidth - to >= minimum;  // the text pane shrinks
  return true;
}

// ---- Showing a word ----

void DefinitionBrowser::showWord(std::vector<Definition> definitions, std::string_view word,
                                     std::string_view dictionaryToSelect, std::string_view wordSuffix,
                                     const FullTextWordMatcher* fullTextQuery) {
  definitions_ = std::move(definitions);
  history_.resize(historyPosition_);
  history_.emplace_back(word);
  ++historyPosition_;
  // Every record shown from now on highlights the word; a full-text query
  // highlights its words in the record first shown.
  highlighted_ = fullTextQuery ? std::string() : std::string(word) + std::string(wordSuffix);
  buildTree(word, dictionaryToSelect, wordSuffix);
  if (fullTextQuery) highlight(fullTextHighlights(text_.plainText(), *fullTextQuery));
  text_.setFocus();
}

std::string DefinitionBrowser::leafLabel(const Definition& record) {
  // The senses of one heading are told apart by the start of their text.
  std::string gloss;
  for (const char c : readDefinitionBody(record.body).plainText()) {
    const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
    if (space) {
      if (!gloss.empty() && gloss.back() != ' ') gloss += ' ';
    } else {
      gloss += c;
    }
    if (gloss.size() > kLeafGlossLength) break;
  }
  while (!gloss.empty() && gloss.back() == ' ') gloss.pop_back();
  if (gloss.size() > kLeafGlossLength) {
    // Cut at a word's end where there is one, and say that it goes on.
    std::size_t cut = gloss.rfind(' ', kLeafGlossLength);
    if (cut == std::string::npos || cut < kLeafGlossLength / 2) cut = kLeafGlossLength;
    gloss.resize(cut);
    gloss += "\x85";  // Windows-1252 ellipsis
  }
  std::string label = record.heading();
  if (!gloss.empty()) label += " \x96 " + gloss;  // Windows-1252 en dash
  return label;
}

void DefinitionBrowser::dropRepeatedRecords(std::vector<Definition>& records) {
  // Two dictionaries holding the same text (a word list with WordNet's
  // glosses, and WordNet itself) show it once, in the first of them.
  std::vector<Definition> kept;
  kept.reserve(records.size());
  for (Definition& record : records) {
    const bool repeated = std::any_of(kept.begin(), kept.end(), [&](const Definition& earlier) {
      return earlier.dictionaryIndex != record.dictionaryIndex && earlier.body == record.body &&
             earlier.heading() == record.heading();
    });
    if (!repeated) kept.push_back(std::move(record));
  }
  records = std::move(kept);
}

void DefinitionBrowser::arrangeRecords(std::vector<Definition>& records, std::string_view word) {
  // Each record's best heading for the word becomes its first: one equal
  // to the word, else the one that matches most of it, ties going to one
  // whose first part is exactly the word.
  for (auto& record : records) {
    int best = 0;
    for (std::size_t k = 0; k < record.alternativeCount(); ++k) {
      int count = 0;
      const bool equal = compareNatural(word, record.alternative(k), count) == 0;
      if (equal || count > best || (count == best && record.firstParts[k] == word)) {
        // Swapped rather than copied, so no alternative is lost.
        std::swap(record.firstParts[0], record.firstParts[k]);
        std::swap(record.secondParts[0], record.secondParts[k]);
        best = count;
      }
    }
  }
  // A stable sort keeps the dictionary's own order among records with equal
  // headings (senses stay in order), and stays safe when the comparison is
  // not a strict order, as with "a", "01" and "1".
  std::stable_sort(records.begin(), records.end(), [](const Definition& a, const Definition& b) {
    if (a.dictionaryIndex != b.dictionaryIndex) return a.dictionaryIndex < b.dictionaryIndex;
    const bool pa = a.hasAlternatives(), pb = b.hasAlternatives();
    const int first = compareNatural(pa ? a.firstParts[0] : a.headword, pb ? b.firstParts[0] : b.headword);
    if (first != 0) return first < 0;
    return compareNatural(pa ? a.secondParts[0] : a.headword, pb ? b.secondParts[0] : b.headword) < 0;
  });
}

void DefinitionBrowser::buildTree(std::string_view lookedUp, std::string_view dictionaryToSelect,
                                      std::string_view wordSuffix) {
  frame_.setCaption(std::string(lookedUp) + captionSuffix(windowNumber_));
  const std::string word = std::string(lookedUp) + std::string(wordSuffix);
  arrangeRecords(definitions_, word);
  dropRepeatedRecords(definitions_);

  treeRebuilding_ = true;
  tree_.deleteAll();
  items_.clear();
  currentDefinition_ = definitions_.empty() ? -1 : 0;

  TreeItem branch = kNoTreeItem;
  int chosen = -1;
  int best = 0;
  bool chosenEqual = false;
  for (std::size_t i = 0; i < definitions_.size(); ++i) {
    const Definition& record = definitions_[i];
    const int index = static_cast<int>(i);
    const bool newBranch = i == 0 || record.dictionaryIndex != definitions_[i - 1].dictionaryIndex;
    if (newBranch) {
      if (branch != kNoTreeItem) tree_.expand(branch);
      const auto texts = workspace_.dictionaryTexts(record.dictionaryPath);
      branch = tree_.insert(texts ? texts->description : std::string(), TreeItemKind::Dictionary, kNoTreeItem,
                            index);
      items_.push_back({branch, index, true});
      best = 0;
    }
    const std::string heading = record.heading();
    items_.push_back({tree_.insert(leafLabel(record), TreeItemKind::Record, branch, index), index, false});

    // The initial selection: the leaf that comes closest to the word, among
    // the records of the first dictionary or of the dictionary asked for.
    const bool candidate = dictionaryToSelect.empty() ? record.dictionaryIndex == definitions_[0].dictionaryIndex
                                                      : record.dictionaryPath == dictionaryToSelect;
    // The first leaf equal to the word wins: a dictionary lists a word's
    // senses most common first, so the window opens on the first sense.
    if (candidate && !chosenEqual) {
      int count = 0;
      const bool equal = compareNatural(word, heading, count) == 0;
      if (equal || count > best) {
        best = count;
        chosenEqual = equal;
        chosen = static_cast<int>(items_.size()) - 1;
      }
    }
  }
  if (branch != kNoTreeItem) tree_.expand(branch);
  treeRebuilding_ = false;

  if (items_.empty()) {
    showNothing();
    return;
  }
  // Without a chosen leaf, the first leaf of the first branch.
  selectItem(chosen >= 0 ? static_cast<std::size_t>(chosen) : 1);
}

// ---- Selection and display ----

int DefinitionBrowser::itemOfHandle(TreeItem handle) const {
  if (handle == kNoTreeItem) return -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].handle == handle) return static_cast<int>(i);
  }
  return -1;
}

void DefinitionBrowser::selectItem(std::size_t index) {
  treeRebuilding_ = true;
  tree_.select(items_[index].handle);
  tree_.ensureVisible(items_[index].handle);
  treeRebuilding_ = false;
  showItem(index);
}

void DefinitionBrowser::onTreeSelectionChanged() {
  if (treeRebuilding_) return;
  const int index = itemOfHandle(tree_.selected());
  if (index >= 0) showItem(static_cast<std::size_t>(index));
}

void DefinitionBrowser::showItem(std::size_t index) {
  if (loading_) return;
  const Item& item = items_[index];
  currentDefinition_ = item.record;
  if (item.isBranch) {
    showBranch(item.record);
  } else {
    showRecord(item.record);
  }
}

void DefinitionBrowser::showRecord(int i) {
  const Definition& record = definitions_[static_cast<std::size_t>(i)];
  frame_.setStatusText(formatNumbers("Definition %d of %d", i + 1, static_cast<int>(definitions_.size())));
  resetPane();
  StyledText content;
  const StyledText body = readDefinitionBody(record.body);
  if (!record.hasAlternatives()) {
    // The heading is not in the tree, so it heads the text, on a line of its own.
    TextStyle headwordStyle;
    headwordStyle.bold = true;
    headwordStyle.underline = true;
    content.append(record.headword, headwordStyle);
    if (!body.empty()) content.append("\n");
  }
  for (const auto& run : body.runs) content.append(run.text, run.style);
  putText(content);
  if (!highlighted_.empty()) highlight(wordHighlights(text_.plainText(), highlighted_));
}

void DefinitionBrowser::showBranch(int i) {
  const auto texts = workspace_.dictionaryTexts(definitions_[static_cast<std::size_t>(i)].dictionaryPath);
  frame_.setStatusText("Description of " + (texts ? texts->description : std::string()));
  resetPane();
  putText(readDefinitionBody(texts ? texts->details : std::string()));
}

void DefinitionBrowser::showNothing() {
  frame_.setStatusText("");
  resetPane();
}

CharacterFormat DefinitionBrowser::format(const FontSetting& font) const {
  return characterFormatFromFont(font, text_.pixelsPerInchY());
}

void DefinitionBrowser::resetPane() {
  text_.setBackground(options_.definitionBackgroundColor);
  text_.clear(format(options_.definitionDefaultFont));
}

void DefinitionBrowser::putText(const StyledText& content) {
  if (loading_) return;
  loading_ = true;
  text_.setContent(content);
  loading_ = false;
}

void DefinitionBrowser::highlight(const std::vector<TextRange>& spans) {
  const CharacterFormat highlightFormat = format(options_.definitionHighlightFont);
  for (const auto& span : spans) {
    text_.setSelection(span);
    text_.applyFormat(highlightFormat);
  }
  const int caret = spans.empty() ? 0 : spans.front().start;
  text_.setSelection({caret, caret});
  text_.scrollCaretIntoView();
}

// ---- Navigation ----

void DefinitionBrowser::stepDefinition(int direction) {
  if (items_.empty()) return;
  const int n = static_cast<int>(items_.size());
  const int selected = itemOfHandle(tree_.selected());
  int next;
  if (selected < 0) {
    next = direction > 0 ? 0 : n - 1;
  } else {
    next = selected + direction;
    if (next >= n) next = 0;
    if (next < 0) next = n - 1;
  }
  selectItem(static_cast<std::size_t>(next));
}

void DefinitionBrowser::goToHistory(std::size_t position) {
  if (position == historyPosition_ || position < 1 || position > history_.size()) return;
  historyPosition_ = position;
  definitions_.clear();
  const std::string word = history_[position - 1];
  definitions_ = workspace_.lookupDefinitions(word);
  highlighted_ = word;
  buildTree(word, {}, {});
}

int DefinitionBrowser::firstHistoryItem(std::size_t position, std::size_t size) {
  const long long c = static_cast<long long>(position) - 1;
  const long long s = static_cast<long long>(size);
  long long start = c - 5, end = c + 4;
  if (c - 5 < 0) start = 0, end = 9;
  if (s - 1 >= end) return static_cast<int>(start + 1);
  return static_cast<int>(std::max(0LL, start - (end - (s - 1))) + 1);
}

int DefinitionBrowser::firstHistoryItem() const { return firstHistoryItem(historyPosition_, history_.size()); }

std::vector<DefinitionBrowser::MenuItem> DefinitionBrowser::historyMenu() const {
  std::vector<MenuItem> items;
  const int first = firstHistoryItem();
  for (int k = 0; k < kHistoryMenuSize; ++k) {
    const std::size_t entry = static_cast<std::size_t>(first + k);
    if (entry > history_.size()) break;
    // The digit is the access key: "&1 word" … "&9 word", then "1&0 word".
    char number[8] = "1&0 ";
    if (k < 9) std::snprintf(number, sizeof number, "&%d ", k + 1);
    std::string text = number;
    text += menuSafe(history_[entry - 1]);
    items.push_back({kHistoryItem0 + k, std::move(text), entry == historyPosition_});
  }
  return items;
}

std::string DefinitionBrowser::lookupMenuText(int command) const {
  std::string_view pattern;
  if (command == kLookup) pattern = kLookupMenuTemplate;
  else if (command == kLookupInNewWindow) pattern = kLookupInNewWindowMenuTemplate;
  else return {};
  const std::size_t star = pattern.find(" *");
  const std::string word = wordToLookUp();
  std::string text(pattern.substr(0, star));
  if (!word.empty()) text += " \"" + menuSafe(word) + "\"";
  text += pattern.substr(star + 2);
  return text;
}

// ---- Lookups from the text ----

FoundWord DefinitionBrowser::lookupWord() const {
  FoundWord found = findWord(text_.plainText(), text_.selection());
  if (found.word.size() > kMaxLookupLength) found = {};
  return found;
}

std::string DefinitionBrowser::wordToLookUp() const { return lookupWord().word; }

// ---- Commands ----

bool DefinitionBrowser::isEnabled(int command) const {
  switch (command) {
    case kCopy: return !text_.selection().empty();
    case kSelectAll: return true;
    case kLookup:
    case kLookupInNewWindow:
    case kExternalLookup: return !wordToLookUp().empty();
    case kBack: return historyPosition_ >= 2;
    case kForward: return historyPosition_ < history_.size();
    case kNextResult: return workspace_.canMoveResult(+1);
    case kPreviousResult: return workspace_.canMoveResult(-1);
    case kNextDefinition:
    case kPreviousDefinition: return true;
    default: break;
  }
  if (command >= kHistoryItem0 && command < kHistoryItem0 + kHistoryMenuSize) return true;
  if (command >= kExternalLookupMethod0 && command < kExternalLookupMethod0 + kExternalLookupMethods) {
    return !wordToLookUp().empty();
  }
  return false;
}

bool DefinitionBrowser::execute(int command) {
  if (!isEnabled(command)) return false;
  switch (command) {
    case kCopy: text_.copySelection(); return true;
    case kSelectAll: text_.selectAll(); return true;
    case kLookup:
    case kLookupInNewWindow: {
      const FoundWord found = lookupWord();
      std::string dictionary;
      if (currentDefinition_ >= 0 && static_cast<std::size_t>(currentDefinition_) < definitions_.size()) {
        dictionary = definitions_[static_cast<std::size_t>(currentDefinition_)].dictionaryPath;
      }
      workspace_.lookUp({found.word, dictionary, found.suffix}, command == kLookupInNewWindow);
      return true;
    }
    case kBack: goToHistory(historyPosition_ - 1); return true;
    case kForward: goToHistory(historyPosition_ + 1); return true;
    case kNextResult: workspace_.moveResult(+1); return true;
    case kPreviousResult: workspace_.moveResult(-1); return true;
    case kNextDefinition: stepDefinition(+1); return true;
    case kPreviousDefinition: stepDefinition(-1); return true;
    default: break;
  }
  if (command >= kHistoryItem0 && command < kHistoryItem0 + kHistoryMenuSize) {
    goToHistory(static_cast<std::size_t>(firstHistoryItem() + (command - kHistoryItem0)));
    return true;
  }
  // The default method and the External Lookup submenu's methods.
  workspace_.externalLookUp(wordToLookUp(), command);
  return true;
}

void DefinitionBrowser::onTextDoubleClick(bool shiftHeld) {
  execute(shiftHeld ? kLookupInNewWindow : kLookup);
}

bool DefinitionBrowser::onTextKey(DefinitionKey key) {
  switch (key) {
    case DefinitionKey::Backspace: execute(kBack); return true;
    case DefinitionKey::F4:
    case DefinitionKey::F5:
    case DefinitionKey::F6: workspace_.windowKey(key); return true;
    case DefinitionKey::Other: break;
  }
  return false;
}

}  // namespace kea
