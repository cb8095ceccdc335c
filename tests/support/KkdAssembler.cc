#include "support/KkdAssembler.h"

#include <algorithm>
#include <stdexcept>

#include "dictionary/Coding.h"
#include "dictionary/KkdFormat.h"

namespace kea::test {

void BitWriter::put(std::uint32_t code, int length) {
  for (int bit = length - 1; bit >= 0; --bit) {
    if (bitCount_ % 8 == 0) bytes_.push_back(0);
    if ((code >> bit) & 1u) bytes_.back() = static_cast<char>(bytes_.back() | (1 << (bitCount_ % 8)));
    ++bitCount_;
  }
}

std::string BitWriter::bytes(bool even) const {
  std::string out = bytes_;
  if (even && out.size() % 2 != 0) out.push_back(0);
  return out;
}

KkdAssembler::KkdAssembler(int version_, int lengthSlots_)
    : version(version_), magic(version_ == 0 ? "KKD0" : "KKD1"), lengthSlots(lengthSlots_) {
  const auto n = static_cast<std::size_t>(std::max(lengthSlots_, 0));
  directTable.assign(n, 0);
  groupTable.assign(n, 0);
  groupEntries.assign(n, 0);
  wordListOffset.assign(n, 0);
  wordCount.assign(n, 0);
  for (int c = 'a'; c <= 'z'; ++c) {
    symbols[static_cast<std::size_t>(c)].canonical = static_cast<std::uint8_t>(c);
    symbols[static_cast<std::size_t>(c)].index = static_cast<std::int16_t>(c - 'a');
    symbols[static_cast<std::size_t>(c - 'a' + 'A')].canonical = static_cast<std::uint8_t>(c);
    symbols[static_cast<std::size_t>(c - 'a' + 'A')].index = static_cast<std::int16_t>(c - 'a');
  }
}

void KkdAssembler::assignCodes(const std::map<std::uint8_t, int>& lengths) {
  for (auto& s : symbols) {
    s.length = 0;
    s.code = 0;
  }
  std::vector<std::pair<int, std::uint8_t>> order;
  for (const auto& [symbol, length] : lengths) order.emplace_back(length, symbol);
  std::sort(order.begin(), order.end());
  std::uint64_t code = 0;
  int previous = order.empty() ? 0 : order.front().first;
  for (const auto& [length, symbol] : order) {
    code <<= (length - previous);
    previous = length;
    symbols[symbol].length = static_cast<std::uint8_t>(length);
    symbols[symbol].code = static_cast<std::uint32_t>(code);
    ++code;
  }
}

void KkdAssembler::assignOwnValueCodes(std::string_view symbolBytes, int length) {
  for (const char c : symbolBytes) {
    auto& s = symbols[static_cast<std::uint8_t>(c)];
    s.length = static_cast<std::uint8_t>(length);
    s.code = static_cast<std::uint8_t>(c);
  }
}

void KkdAssembler::putRecord(BitWriter& out, std::string_view text, int flag) const {
  for (const char c : text) {
    const auto& s = symbols[static_cast<std::uint8_t>(c)];
    if (s.length == 0) throw std::logic_error("record symbol without a code");
    out.put(s.code, s.length);
  }
  out.put(symbols[0].code, symbols[0].length);
  if (flag >= 0) out.putBit(flag != 0);
}

std::string KkdAssembler::list(const std::vector<std::string>& section1,
                               const std::vector<std::string>& section2) const {
  BitWriter out;
  for (const std::string& entry : section1) {
    const bool flagged = !entry.empty() && entry.back() == '*';
    const std::string_view text = flagged ? std::string_view(entry).substr(0, entry.size() - 1) : entry;
    putRecord(out, text, version >= 1 ? (flagged ? 1 : 0) : -1);
  }
  putRecord(out, "");
  if (version >= 1) {
    for (const std::string& entry : section2) putRecord(out, entry);
    putRecord(out, "");
  }
  return out.bytes();
}

std::uint32_t KkdAssembler::headerSize() const {
  const auto n = static_cast<std::uint32_t>(std::max(lengthSlots, 0));
  return version == 0 ? kkd::headerSizeV0(n) : kkd::headerSizeV1(n);
}

std::uint32_t KkdAssembler::bodyOffset() const {
  return headerSize() + static_cast<std::uint32_t>(positionTables.size() + body.size());
}

void KkdAssembler::addList(int length, const std::vector<std::string>& section1,
                           const std::vector<std::string>& section2) {
  wordListOffset.at(static_cast<std::size_t>(length)) = bodyOffset();
  // Empty lengths before it start where it starts, as a builder leaves them.
  for (int l = length - 1; l >= 1 && wordListOffset.at(static_cast<std::size_t>(l)) == 0; --l) {
    wordListOffset[static_cast<std::size_t>(l)] = bodyOffset();
  }
  wordCount.at(static_cast<std::size_t>(length)) = static_cast<std::uint32_t>(section1.size());
  body += list(section1, section2);
}

void KkdAssembler::addGroupTable(int length, std::uint32_t entries) {
  groupTable.at(static_cast<std::size_t>(length)) = bodyOffset();
  groupEntries.at(static_cast<std::size_t>(length)) = entries;
  for (std::uint32_t i = 0; i < entries; ++i) coding::putFixed32(body, 0xFFFFFFFFu);
}

std::string KkdAssembler::bytes() const {
  std::string out = magic.substr(0, 4);
  out.resize(4, ' ');
  coding::putFixed16(out, static_cast<std::uint16_t>(lengthSlots));
  const auto n = static_cast<std::size_t>(std::max(lengthSlots, 0));
  const auto table = [&](const std::vector<std::uint32_t>& values) {
    for (std::size_t l = 0; l < n; ++l) coding::putFixed32(out, l < values.size() ? values[l] : 0);
  };
  std::size_t descriptionSize = kkd::kDescriptionSizeV0;
  if (version != 0) {
    coding::putFixed32(out, definitionsStart);
    coding::putFixed32(out, searchableStart);
    coding::putFixed32(out, definitionsEnd);
    table(directTable);
    table(groupTable);
    table(groupEntries);
    descriptionSize = kkd::kDescriptionSizeV1;
  }
  table(wordListOffset);
  table(wordCount);
  std::string field = description.substr(0, descriptionSize);
  field.resize(descriptionSize, '\0');
  out += field;
  coding::putFixed16(out, static_cast<std::uint16_t>(letterCount));
  coding::putFixed16(out, static_cast<std::uint16_t>(alphabetSize));
  for (const auto& s : symbols) {
    out.push_back(static_cast<char>(s.canonical));
    out.push_back(static_cast<char>(s.length));
    coding::putFixed16(out, static_cast<std::uint16_t>(s.index));
    coding::putFixed32(out, s.code);
  }
  coding::putFixed16(out, positionTableCount);
  out += positionTables;
  out += body;
  return out;
}

}  // namespace kea::test
