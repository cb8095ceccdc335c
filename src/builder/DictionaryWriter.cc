#include "builder/DictionaryWriter.h"

#include "dictionary/Coding.h"

namespace kea {

std::string encodeHeader(const KkdHeader& h, bool complete) {
  const int n = h.lengthSlots;
  std::string out;
  out.reserve(kkd::headerSizeV1(static_cast<std::uint32_t>(n)) + h.positionTables.size());
  out.append(complete ? kkd::kMagicV1 : kkd::kMagicPlaceholder, 4);
  coding::putFixed16(out, static_cast<std::uint16_t>(n));
  coding::putFixed32(out, h.definitionsStart);
  coding::putFixed32(out, h.searchableStart);
  coding::putFixed32(out, h.definitionsEnd);
  for (const auto* table : {&h.directTable, &h.groupTable, &h.groupEntries, &h.wordListOffset, &h.wordCount}) {
    for (int length = 0; length < n; ++length) coding::putFixed32(out, (*table)[length]);
  }
  std::string description = h.description.substr(0, h.description.find('\0'));
  description.resize(kkd::kDescriptionSizeV1 - 1);
  out.append(description);
  out.push_back('\0');
  coding::putFixed16(out, static_cast<std::uint16_t>(h.alphabet.letterCount));
  coding::putFixed16(out, static_cast<std::uint16_t>(h.alphabet.alphabetSize));
  for (int v = 0; v < 256; ++v) {
    out.push_back(static_cast<char>(h.canonical[v]));
    out.push_back(static_cast<char>(h.code.length[v]));
    const std::uint8_t index = h.alphabet.indexOfByte[v];
    coding::putFixed16(out, index == kkd::kNoIndex ? 0xFFFF : index);
    coding::putFixed32(out, h.code.code[v]);
  }
  coding::putFixed16(out, static_cast<std::uint16_t>(h.positionTableCount));
  out.append(h.positionTables);
  return out;
}

void appendMaskedField(std::string& out, std::string_view text) {
  for (const char c : text) out.push_back(static_cast<char>(static_cast<std::uint8_t>(c) ^ kkd::kScrambleByte));
  out.push_back(static_cast<char>(kkd::kScrambleByte));
}

void encodeDefinitionRecord(const ParsedLine& line, bool withPairs, std::string& out) {
  out.clear();
  out.push_back('\0');  // the pair count, filled in below
  int pairs = 0;
  if (withPairs) {
    for (std::size_t i = 0; i < line.fieldCount() && pairs < kkd::kMaxHeadwordPairs; ++i) {
      const std::string_view first = line.headword(i);
      const std::string_view second = line.tail(i);
      if (first.empty() && second.empty()) continue;
      appendMaskedField(out, first);
      appendMaskedField(out, second);
      ++pairs;
    }
  }
  out[0] = static_cast<char>(pairs);
  appendMaskedField(out, line.definition());
}

void appendPointerValues(std::string& out, std::span<const std::uint32_t> values, bool markLast) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const bool last = markLast && i + 1 == values.size();
    coding::putFixed32(out, values[i] | (last ? kkd::kFinalBit : 0));
  }
}

}  // namespace kea
