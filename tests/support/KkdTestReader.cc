#include "support/KkdTestReader.h"

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace kea::test {
namespace {

// Little-endian values read one after another; throws at the end of the bytes.
class Cursor {
 public:
  Cursor(const std::string& bytes, std::size_t at) : bytes_(bytes), at_(at) {}
  std::string take(std::size_t n) {
    if (at_ + n > bytes_.size()) throw std::runtime_error("dictionary file cut short");
    at_ += n;
    return bytes_.substr(at_ - n, n);
  }
  std::uint32_t value(std::size_t size) {
    std::uint32_t v = 0;
    const std::string b = take(size);
    for (std::size_t i = size; i-- > 0;) v = (v << 8) | static_cast<std::uint8_t>(b[i]);
    return v;
  }
  std::uint32_t u8() { return value(1); }
  std::uint32_t u16() { return value(2); }
  std::uint32_t u32() { return value(4); }
  std::size_t at() const { return at_; }

 private:
  const std::string& bytes_;
  std::size_t at_;
};

std::string readMasked(Cursor& in) {
  std::string text;
  for (;;) {
    const auto b = static_cast<std::uint8_t>(in.u8());
    if (b == 0xB7) return text;
    text.push_back(static_cast<char>(b ^ 0xB7));
  }
}

}  // namespace

KkdFile parseKkd(std::string bytes) {
  KkdFile f;
  f.bytes = std::move(bytes);
  Cursor in(f.bytes, 0);
  f.magic = in.take(4);
  f.lengthSlots = static_cast<int>(in.u16());
  f.definitionsStart = in.u32();
  f.searchableStart = in.u32();
  f.definitionsEnd = in.u32();
  for (auto* table : {&f.directTable, &f.groupTable, &f.groupEntries, &f.wordListOffset, &f.wordCount}) {
    for (int i = 0; i < f.lengthSlots; ++i) table->push_back(in.u32());
  }
  const std::string description = in.take(1000);
  f.description = description.substr(0, description.find('\0'));
  f.letterCount = static_cast<std::int16_t>(in.u16());
  f.alphabetSize = static_cast<std::int16_t>(in.u16());
  for (auto& symbol : f.symbols) {
    symbol.canonical = static_cast<std::uint8_t>(in.u8());
    symbol.length = static_cast<std::uint8_t>(in.u8());
    symbol.index = static_cast<std::int16_t>(in.u16());
    symbol.code = in.u32();
  }
  f.positionTableCount = static_cast<int>(in.u16());
  f.positionTablesStart = static_cast<std::uint32_t>(in.at());
  in.take(static_cast<std::size_t>(f.positionTableCount) * static_cast<std::size_t>(f.letterCount));
  f.headerEnd = static_cast<std::uint32_t>(in.at());
  return f;
}

KkdFile readKkd(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return parseKkd(std::string(std::istreambuf_iterator<char>(in), {}));
}

KkdWordList decodeWordList(const KkdFile& file, int length, std::size_t maxEntries) {
  std::map<std::pair<int, std::uint32_t>, int> codes;  // (bits, code) -> symbol
  for (int v = 0; v < 256; ++v) {
    if (file.symbols[v].length > 0) codes[{file.symbols[v].length, file.symbols[v].code}] = v;
  }
  KkdWordList list;
  // As readers see it: a list that does not end before the next one starts
  // is empty; a later slot left at 0 holds no list.
  const auto slot = static_cast<std::size_t>(length);
  if (length < 1 || length >= file.lengthSlots || file.wordListOffset[slot] == 0) return list;
  for (auto next = slot + 1; next < static_cast<std::size_t>(file.lengthSlots); ++next) {
    if (file.wordListOffset[next] == 0) continue;
    if (file.wordListOffset[next] <= file.wordListOffset[slot]) return list;
    break;
  }
  std::uint64_t bit = std::uint64_t{file.wordListOffset[slot]} * 8;
  const auto nextBit = [&]() -> std::uint32_t {
    const std::uint64_t byte = bit / 8;
    if (byte >= file.bytes.size()) throw std::runtime_error("word list runs past the end of the file");
    const std::uint32_t value = (static_cast<std::uint8_t>(file.bytes[byte]) >> (bit % 8)) & 1;
    ++bit;
    return value;
  };
  const auto nextSymbol = [&]() {
    std::uint32_t code = 0;
    for (int bits = 1; bits <= 32; ++bits) {
      code = (code << 1) | nextBit();
      const auto found = codes.find({bits, code});
      if (found != codes.end()) return found->second;
    }
    throw std::runtime_error("no symbol has this code");
  };
  for (int section = 1; section <= 2; ++section) {
    for (;;) {
      std::string text;
      bool hasLetter = false;
      for (int symbol; (symbol = nextSymbol()) != 0;) {
        text.push_back(static_cast<char>(symbol));
        hasLetter = hasLetter || file.symbols[symbol].index >= 0;
      }
      if (!hasLetter) break;
      if (section == 1) {
        const bool flag = nextBit() != 0;
        list.section1.push_back({text, flag});
        if (list.section1.size() >= maxEntries) return list;
      } else {
        list.section2.push_back(text);
      }
    }
  }
  return list;
}

std::vector<std::uint32_t> readValues(const KkdFile& file, std::uint32_t offset, std::size_t count) {
  Cursor in(file.bytes, offset);
  std::vector<std::uint32_t> values;
  for (std::size_t i = 0; i < count; ++i) values.push_back(in.u32());
  return values;
}

std::vector<std::vector<std::uint32_t>> readGroups(const KkdFile& file, int length) {
  const auto index = static_cast<std::size_t>(length);
  std::vector<std::vector<std::uint32_t>> groups;
  std::vector<std::uint32_t> group;
  for (const std::uint32_t value : readValues(file, file.groupTable.at(index), file.groupEntries.at(index))) {
    group.push_back(value);
    if (value & 0x80000000u) groups.push_back(std::exchange(group, {}));
  }
  if (!group.empty()) throw std::runtime_error("grouped pointer table ends inside a group");
  return groups;
}

std::vector<std::uint32_t> readOccurrenceList(const KkdFile& file, std::uint32_t offset) {
  Cursor in(file.bytes, offset);
  std::vector<std::uint32_t> values;
  do {
    values.push_back(in.u32());
  } while (!(values.back() & 0x80000000u));
  return values;
}

namespace {
KkdDefinition readDefinitionAt(Cursor& in) {
  KkdDefinition d;
  const std::uint32_t pairs = in.u8();
  for (std::uint32_t i = 0; i < pairs; ++i) {
    std::string first = readMasked(in);
    d.pairs.emplace_back(std::move(first), readMasked(in));
  }
  d.body = readMasked(in);
  return d;
}
}  // namespace

std::vector<std::pair<std::uint32_t, KkdDefinition>> readDefinitions(const KkdFile& file, std::uint32_t from,
                                                                     std::uint32_t to) {
  std::vector<std::pair<std::uint32_t, KkdDefinition>> records;
  Cursor in(file.bytes, from);
  while (in.at() < to) {
    const auto offset = static_cast<std::uint32_t>(in.at());
    records.emplace_back(offset, readDefinitionAt(in));
  }
  if (in.at() != to) throw std::runtime_error("definition records overrun their area");
  return records;
}

}  // namespace kea::test
