// The word-list decoder on lists laid out by hand: both file versions, codes
// of up to 32 bits handed over a few bytes at a time, records cut to the word
// buffer, and damaged or cut streams that must end the list cleanly.
#include "dictionary/WordListDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>

#include "support/KkdAssembler.h"
#include "support/TempDir.h"

namespace kea {
namespace {

using test::BitWriter;
using test::KkdAssembler;
using Record = WordListDecoder::Record;

std::vector<std::uint8_t> keyOf(std::string_view letters) {
  std::vector<std::uint8_t> key;
  for (const char c : letters) {
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') key.push_back(static_cast<std::uint8_t>((c | 0x20) - 'a'));
  }
  return key;
}

// An entry as "section:text/annotation:flag definition number", checked against its key.
std::vector<std::string> listed(const std::vector<DecodedEntry>& entries) {
  std::vector<std::string> out;
  for (const DecodedEntry& e : entries) {
    EXPECT_EQ(e.key, keyOf(e.text)) << e.text;
    out.push_back(std::to_string(e.section) + ":" + e.text + "/" + e.annotation + ":" + (e.flag ? "f" : "") +
                  std::to_string(e.definitionIndex));
  }
  return out;
}

// Hands out its bytes a few at a time, as a file read in small blocks would.
class TrickleSource : public ByteSource {
 public:
  TrickleSource(std::string bytes, std::size_t step) : bytes_(std::move(bytes)), step_(step) {}
  std::size_t read(unsigned char* into, std::size_t capacity) override {
    const std::size_t n = std::min({capacity, step_, bytes_.size() - position_});
    std::copy_n(bytes_.data() + position_, n, into);
    position_ += n;
    ++calls;
    return n;
  }
  int calls = 0;

 private:
  std::string bytes_;
  std::size_t step_;
  std::size_t position_ = 0;
};

class Decoding : public ::testing::Test {
 protected:
  DictionaryList::Dictionary& open(const KkdAssembler& a) {
    const std::string path = dir.file(std::to_string(files++) + ".kkd");
    test::writeFile(path, a.bytes());
    dictionary = std::make_unique<DictionaryList::Dictionary>(path);
    dictionary->open(true);
    EXPECT_TRUE(dictionary->isOpen()) << dictionary->statusText() << " " << dictionary->problem();
    return *dictionary;
  }

  // Every record of `bytes` decoded with the tables of `d`, fed `step` bytes at a time.
  std::vector<WordListDecoder::Result> records(const DictionaryList::Dictionary& d, const std::string& bytes,
                                               std::size_t step, std::vector<std::string>* texts = nullptr) {
    TrickleSource source(bytes, step);
    auto decoder = std::make_unique<WordListDecoder>(d);
    decoder->start(&source);
    std::vector<WordListDecoder::Result> out;
    for (int guard = 0; guard < 100000; ++guard) {
      out.push_back(decoder->next(*word));
      if (texts) texts->push_back(word->raw);
      if (out.back().record == Record::ListEnd || out.back().record == Record::Broken) break;
    }
    return out;
  }
  // The same as text, to compare ways of handing the bytes over.
  std::vector<std::string> trace(const DictionaryList::Dictionary& d, const std::string& bytes, std::size_t step) {
    std::vector<std::string> texts;
    const auto r = records(d, bytes, step, &texts);
    for (std::size_t i = 0; i < r.size(); ++i) {
      texts[i] += "/" + std::to_string(static_cast<int>(r[i].record)) + "/" + std::to_string(r[i].definitionIndex) +
                  "/" + std::to_string(r[i].annotationLength);
    }
    return texts;
  }

  test::TempDir dir;
  int files = 0;
  std::unique_ptr<DictionaryList::Dictionary> dictionary;
  std::unique_ptr<WordBuffer> word = std::make_unique<WordBuffer>();
};

KkdAssembler eightBitCodes(int version, int slots) {
  KkdAssembler a(version, slots);
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyzABC-' ");
  return a;
}

TEST_F(Decoding, AVersion0ListHasNoFlagsAndAnEmptyLengthIsComplete) {
  // Version 0 has no flag bits: a one where a flag would be is the next code.
  KkdAssembler old = eightBitCodes(0, 3);
  old.addList(2, {"ab", "cd"});
  const auto& d = open(old);
  bool complete = false;
  EXPECT_EQ(listed(decodeWordList(d, 2, &complete)), (std::vector<std::string>{"1:ab/:-1", "1:cd/:-1"}));
  EXPECT_TRUE(complete);
  EXPECT_TRUE(decodeWordList(d, 1, &complete).empty());
  EXPECT_TRUE(complete);
}

TEST_F(Decoding, RecordsWithoutLettersEndSections) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  // Punctuation alone ends a section like symbol 0 alone, and carries no flag bit.
  BitWriter bits;
  a.putRecord(bits, "ab", 1);
  a.putRecord(bits, "-' ");
  a.putRecord(bits, "cd");
  a.putRecord(bits, "'");
  a.putRecord(bits, "ef");  // after the end of the list: never read
  const auto r = records(d, bits.bytes(), 16384);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(std::vector<Record>({r[0].record, r[1].record, r[2].record, r[3].record}),
            (std::vector<Record>{Record::Entry, Record::SectionEnd, Record::Entry, Record::ListEnd}));
  EXPECT_EQ(std::tie(r[2].section, r[2].definitionIndex), std::make_tuple(2, 0));
}

// A random complete prefix code for the symbols, leaves split at random.
std::map<std::uint8_t, int> randomLengths(const std::string& symbols, std::mt19937& random) {
  std::vector<int> depths = {0};
  while (depths.size() < symbols.size()) {
    const std::size_t k = random() % depths.size();
    if (depths[k] < 32) depths.push_back(++depths[k]);
  }
  std::map<std::uint8_t, int> lengths;
  for (std::size_t i = 0; i < symbols.size(); ++i) lengths[static_cast<std::uint8_t>(symbols[i])] = depths[i];
  return lengths;
}

TEST_F(Decoding, RandomCodesAndListsDecodeAsTheReferenceReaderDoes) {
  std::mt19937 random(7);
  const std::string symbols = std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyzABC-' ";
  const auto pick = [&random](std::string_view from) { return from[random() % from.size()]; };
  const auto randomWord = [&](std::size_t letters) {
    std::string word;
    for (std::size_t i = 0; i < letters; ++i) {
      if (random() % 8 == 0) word.push_back(pick(std::string_view(symbols).substr(2)));
      word.push_back(pick("abcdefghijklmnopqrstuvwxyz"));
    }
    return word;
  };
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    KkdAssembler a(1, 16);
    if (round % 3 == 0) {
      // Skewed: 1 … 29 bits, then 31, 31, 31, 32, 32 so that the code is complete.
      std::map<std::uint8_t, int> lengths;
      std::string order = symbols;
      std::shuffle(order.begin(), order.end(), random);
      const int tail[] = {31, 31, 31, 32, 32};
      for (std::size_t i = 0; i < order.size(); ++i) {
        lengths[static_cast<std::uint8_t>(order[i])] = i < 29 ? static_cast<int>(i) + 1 : tail[i - 29];
      }
      a.assignCodes(lengths);
    } else {
      a.assignCodes(randomLengths(symbols, random));
    }
    for (std::size_t length = 1; length < 16; ++length) {
      std::vector<std::string> section1, section2;
      for (int e = 0, entries = static_cast<int>(random() % 301); e < entries; ++e) {
        std::string w = randomWord(length);
        if (random() % 6 == 0) w += "\n" + randomWord(1 + random() % 5) + (random() % 3 ? "" : "\nx");
        section1.push_back(w + (random() % 2 ? "*" : ""));
        if (e % 4 == 3) section2.push_back(std::string(length, pick("xyz")));
      }
      if (!section1.empty()) a.addList(static_cast<int>(length), section1, section2);
    }
    const auto& d = open(a);
    const test::KkdFile file = test::parseKkd(a.bytes());
    for (int length = 1; length < 16; ++length) {
      SCOPED_TRACE(length);
      bool complete = false;
      const auto decoded = decodeWordList(d, length, &complete);
      EXPECT_TRUE(complete);
      const test::KkdWordList simple = test::decodeWordList(file, length);
      std::vector<std::string> expected;
      int flagged = 0, position = 0;
      for (const auto& [text, flag] : simple.section1) {
        const std::size_t split = std::min(text.find('\n'), text.size());
        const std::string note = split < text.size() ? text.substr(split + 1) : "";
        const std::string number = flag ? "f" + std::to_string(flagged++) : "-1";
        expected.push_back("1:" + text.substr(0, split) + "/" + note + ":" + number);
      }
      for (const std::string& text : simple.section2) {
        expected.push_back("2:" + text + "/:" + std::to_string(position++));
      }
      EXPECT_EQ(listed(decoded), expected);
      // However the bytes are handed over, the records come out alike.
      const std::uint32_t start = a.wordListOffset[static_cast<std::size_t>(length)];
      if (length % 5 != 0 || start == 0) continue;
      const std::string bytes = a.bytes().substr(start);
      for (const std::size_t step : {1u, 3u, 8u, 13u}) EXPECT_EQ(trace(d, bytes, step), trace(d, bytes, 16384)) << step;
      // Tracked letters: each entry's bits are those of the letters of its key,
      // whether the letters came by the group tables or one at a time.
      std::array<std::uint32_t, 256> bits{};
      for (int letter = 0; letter < 26; ++letter) bits[static_cast<std::size_t>(letter)] = 1u << (letter * 7 % 32);
      TrickleSource source(bytes, 16384);
      WordListDecoder tracking(d);
      tracking.start(&source);
      tracking.trackLetters(bits);
      int entries = 0;
      for (;;) {
        const WordListDecoder::Result r = tracking.nextAcceptedTracking(*word, [](const auto&) { return true; });
        if (r.record == Record::SectionEnd) continue;
        if (r.record != Record::Entry) break;
        std::uint32_t expected = 0;
        for (int i = 0; i < r.keyLength; ++i) expected |= bits[word->key[i]];
        ASSERT_EQ(r.letterBits, expected) << word->raw;
        ++entries;
      }
      EXPECT_EQ(entries, static_cast<int>(simple.section1.size() + simple.section2.size()));
    }
  }
}

TEST_F(Decoding, OverlongRecordsAreCutToTheBuffer) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  const std::string longNote(900, 'n');
  for (const auto& [record, text, key, note] :
       {std::tuple{std::string(1500, 'q'), 998, 127, 0}, {std::string(500, 'a') + "\n" + longNote, 500, 127, 498},
        {std::string(997, '-') + "ab\nxyz", 998, 2, 0}, {"ab\n" + longNote, 2, 2, 900}}) {
    BitWriter bits;
    a.putRecord(bits, record, 1);
    a.putRecord(bits, "cd", 0);
    const std::string bytes = bits.bytes();
    MemorySource all(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    WordListDecoder decoder(d);
    decoder.start(&all);
    const auto r = decoder.next(*word);
    ASSERT_EQ(r.record, Record::Entry);
    EXPECT_EQ(std::tie(r.textLength, r.keyLength, r.annotationLength), std::tie(text, key, note));
    EXPECT_TRUE(r.flag);
    EXPECT_EQ(word->key[key], 255);
    EXPECT_EQ(word->raw[text], 0);
    EXPECT_EQ(word->raw[text + 1 + note], 0);
    EXPECT_LE(text + 1 + note, WordBuffer::kRawSize - 1);
    // The record after it is still found: the cut lost no bits.
    EXPECT_EQ(decoder.next(*word).record, Record::Entry);
    EXPECT_EQ(std::string(word->raw), "cd");
  }
}

TEST_F(Decoding, CutOrDeadStreamsEndTheListBroken) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  const std::string bytes = a.list({"ab*", "cd"}, {"ef"});
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    const auto r = records(d, bytes.substr(0, cut), 5);
    EXPECT_EQ(r.back().record, Record::Broken) << cut;  // the last end record needs the last byte
  }
  EXPECT_EQ(records(d, bytes, 5).back().record, Record::ListEnd);
  // A finished decoder keeps saying so without reading.
  TrickleSource source(bytes.substr(0, 4), 16384);  // the first entry and its flag
  WordListDecoder decoder(d);
  decoder.start(&source);
  EXPECT_EQ(decoder.next(*word).record, Record::Entry);
  EXPECT_EQ(decoder.next(*word).record, Record::Broken);
  const int calls = source.calls;
  EXPECT_EQ(decoder.next(*word).record, Record::Broken);
  EXPECT_EQ(source.calls, calls);
  EXPECT_EQ(word->key[0], 255);

  // An incomplete code (nothing starts with 11), met after an entry and after the fast table's 8 bits.
  KkdAssembler dead(1, 4);
  dead.assignCodes({{0, 2}, {'a', 2}, {'b', 3}, {'c', 30}});
  const auto& deadDictionary = open(dead);
  BitWriter bits, deep;
  dead.putRecord(bits, "ab", 0);
  bits.put(0b11, 2);
  deep.put(0b101, 3);
  deep.put(1, 11);
  const auto r = records(deadDictionary, bits.bytes(), 16384);
  EXPECT_EQ(std::vector<Record>({r.at(0).record, r.at(1).record}),
            (std::vector<Record>{Record::Entry, Record::Broken}));
  EXPECT_EQ(records(deadDictionary, deep.bytes(), 16384).back().record, Record::Broken);

  // A flag bit missing at the very end: 9 bits of record, 8 in the file.
  KkdAssembler shortCodes(1, 4);
  shortCodes.assignCodes({{0, 1}, {'a', 2}, {'b', 2}});
  const auto& s = open(shortCodes);
  BitWriter nine;
  shortCodes.putRecord(nine, "abab");
  ASSERT_EQ(nine.bitCount(), 9u);
  EXPECT_EQ(records(s, nine.bytes(false).substr(0, 1), 16384).back().record, Record::Broken);
  // The padding of the last byte belongs to the stream: it is read as flag 0.
  EXPECT_EQ(records(s, nine.bytes(false), 16384).front().record, Record::Entry);
}

TEST_F(Decoding, NoListIsReadFromAClosedOrChangedDictionary) {
  KkdAssembler a = eightBitCodes(1, 4);
  a.addList(3, {"abc"});
  auto& d = open(a);
  bool complete = false;
  EXPECT_EQ(decodeWordList(d, 3, &complete).size(), 1u);
  EXPECT_TRUE(complete);
  // Rewritten on disk with another size: the tables in memory no longer fit.
  test::writeFile(d.path(), a.bytes() + "xx");
  EXPECT_TRUE(decodeWordList(d, 3, &complete).empty());
  EXPECT_FALSE(complete);
  d.close();
  EXPECT_TRUE(decodeWordList(d, 3, &complete).empty());
  EXPECT_FALSE(complete);
}

}  // namespace
}  // namespace kea
