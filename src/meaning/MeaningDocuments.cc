#include "meaning/MeaningDocuments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kea {

namespace {

// BM25's saturation (how fast repeating a word stops adding) and length
// normalisation (how much a long document's words count less).
constexpr double kSaturation = 1.2;
constexpr double kLengthNormalisation = 0.5;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

bool MeaningDocuments::addLines(std::string_view text, std::string* error) {
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (trimmed(line).empty() || line.front() == '#') continue;
    if (!addLine(line)) {
      if (error) {
        *error = "line " + std::to_string(number) + " is not \"FORMS<tab>WORD:WEIGHT ...\": " +
                 std::string(line.substr(0, 200));
      }
      return false;
    }
  }
  return true;
}

bool MeaningDocuments::addLine(std::string_view line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return false;
  std::string_view forms = line.substr(0, tab);
  std::string_view rest = line.substr(tab + 1);
  std::vector<std::pair<std::uint32_t, float>> document;
  while (!(rest = trimmed(rest)).empty()) {
    const std::size_t space = std::min(rest.find(' '), rest.size());
    const std::string_view item = rest.substr(0, space);
    rest.remove_prefix(space);
    const std::size_t colon = item.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    double weight = 0;
    const std::string_view number = item.substr(colon + 1);
    const auto [end, problem] = std::from_chars(number.data(), number.data() + number.size(), weight);
    if (problem != std::errc() || end != number.data() + number.size() || !(weight >= 0) || weight > 1000) {
      return false;
    }
    words_.forEach(item.substr(0, colon), [&](std::string_view stem, std::string_view) {
      scratch_.assign(stem);
      const auto found = termNumbers_.try_emplace(scratch_, static_cast<std::uint32_t>(terms_.size()));
      if (found.second) terms_.push_back(scratch_);
      const std::uint32_t term = found.first->second;
      const auto same = std::find_if(document.begin(), document.end(), [&](const auto& p) { return p.first == term; });
      if (same != document.end()) {
        same->second += static_cast<float>(weight);
      } else {
        document.emplace_back(term, static_cast<float>(weight));
      }
    });
  }
  bool anyForm = false;
  const auto number = static_cast<std::uint32_t>(documents_.size());
  while (!forms.empty()) {
    const std::size_t bar = std::min(forms.find('|'), forms.size());
    const std::string_view form = trimmed(forms.substr(0, bar));
    forms.remove_prefix(std::min(bar + 1, forms.size()));
    if (form.empty()) continue;
    std::vector<std::uint32_t>& list = forms_[std::string(form)];
    if (list.empty() || list.back() != number) list.push_back(number);
    anyForm = true;
  }
  if (!anyForm) return false;
  documents_.push_back(std::move(document));
  return true;
}

const std::vector<std::uint32_t>* MeaningDocuments::documentsOf(std::string_view headword) const {
  const auto it = forms_.find(std::string(headword));
  return it == forms_.end() ? nullptr : &it->second;
}

MeaningIndex::Content MeaningDocuments::content(std::vector<std::vector<std::vector<std::uint32_t>>> entries) const {
  MeaningIndex::Content out;
  out.terms = terms_;
  out.entries = std::move(entries);
  const double n = static_cast<double>(documents_.size());
  std::vector<std::uint32_t> frequency(terms_.size(), 0);
  double total = 0;
  for (const auto& document : documents_) {
    for (const auto& [term, weight] : document) {
      ++frequency[term];
      total += weight;
    }
  }
  const double averageLength = n > 0 && total > 0 ? total / n : 1;
  out.documents.reserve(documents_.size());
  for (const auto& document : documents_) {
    double length = 0;
    for (const auto& p : document) length += p.second;
    const double norm = kSaturation * (1 - kLengthNormalisation + kLengthNormalisation * length / averageLength);
    auto& weighted = out.documents.emplace_back();
    weighted.reserve(document.size());
    for (const auto& [term, weight] : document) {
      const double df = frequency[term];
      const double idf = std::log(1 + (n - df + 0.5) / (df + 0.5));
      weighted.emplace_back(term, idf * weight * (kSaturation + 1) / (weight + norm));
    }
  }
  return out;
}

}  // namespace kea
