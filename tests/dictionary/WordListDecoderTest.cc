#include "dictionary/WordListDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <queue>
#include <random>
#include <tuple>

#include "support/KkdAssembler.h"
#include "support/TempDir.h"

namespace kea {

void PrintTo(const DecodedEntry& e, std::ostream* out) {
  *out << "{\"" << e.text << "\" \"" << e.annotation << "\" key";
  for (const int k : e.key) *out << ' ' << k;
  *out << " section " << e.section << " flag " << e.flag << " index " << e.definitionIndex << '}';
}

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

DecodedEntry entry(std::string text, int section, bool flag, int definitionIndex, std::string annotation = "") {
  DecodedEntry e;
  e.key = keyOf(text);
  e.text = std::move(text);
  e.annotation = std::move(annotation);
  e.section = section;
  e.flag = flag;
  e.definitionIndex = definitionIndex;
  return e;
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
  // Writes the assembled file and opens it.
  KKDictionaryList::Dictionary& open(const KkdAssembler& a) {
    const std::string path = dir.file(std::to_string(files++) + ".kkd");
    test::writeFile(path, a.bytes());
    dictionary = std::make_unique<KKDictionaryList::Dictionary>(path);
    dictionary->open(true);
    EXPECT_TRUE(dictionary->isOpen()) << dictionary->statusText();
    return *dictionary;
  }

  // Every record of `bytes` decoded with the tables of `d`, fed `step`
  // bytes at a time.
  std::vector<WordListDecoder::Result> records(const KKDictionaryList::Dictionary& d, const std::string& bytes,
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

  test::TempDir dir;
  int files = 0;
  std::unique_ptr<KKDictionaryList::Dictionary> dictionary;
  std::unique_ptr<WordBuffer> word = std::make_unique<WordBuffer>();
};

KkdAssembler eightBitCodes(int version, int slots) {
  KkdAssembler a(version, slots);
  a.assignOwnValueCodes(std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyzABC-' ");
  return a;
}

TEST_F(Decoding, AVersion1ListGivesFlagsAndDefinitionNumbersInBothSections) {
  KkdAssembler a = eightBitCodes(1, 4);
  a.addList(2, {"ab*", "cd", "ef*", "gh*"}, {"ij", "kl"});
  a.addList(3, {"abc"});
  const auto& d = open(a);
  bool complete = false;
  EXPECT_EQ(decodeWordList(d, 2, &complete),
            (std::vector<DecodedEntry>{entry("ab", 1, true, 0), entry("cd", 1, false, -1), entry("ef", 1, true, 1),
                                       entry("gh", 1, true, 2), entry("ij", 2, false, 0), entry("kl", 2, false, 1)}));
  EXPECT_TRUE(complete);
  EXPECT_EQ(decodeWordList(d, 3), (std::vector<DecodedEntry>{entry("abc", 1, false, -1)}));
  EXPECT_TRUE(decodeWordList(d, 1, &complete).empty());
  EXPECT_TRUE(complete);
}

TEST_F(Decoding, AVersion0ListHasOneSectionWithoutFlags) {
  KkdAssembler a = eightBitCodes(0, 3);
  // Without flag bits, a one in the place a flag would be is the next code.
  a.addList(2, {"ab", "cd"});
  const auto& d = open(a);
  const auto r = records(d, a.list({"ab", "cd"}), 16384);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].record, Record::Entry);
  EXPECT_EQ(r[0].definitionIndex, -1);
  EXPECT_EQ(r[1].definitionIndex, -1);
  EXPECT_EQ(r[2].record, Record::ListEnd);
  EXPECT_EQ(decodeWordList(d, 2), (std::vector<DecodedEntry>{entry("ab", 1, false, -1), entry("cd", 1, false, -1)}));
}

TEST_F(Decoding, AnAnnotationFollowsTheEntryText) {
  KkdAssembler a = eightBitCodes(1, 4);
  a.addList(3, {"ABC\nnote*"});
  const auto& d = open(a);
  const auto r = records(d, a.list({"ABC\nnote*"}), 16384);
  ASSERT_GE(r.size(), 1u);
  ASSERT_EQ(r[0].record, Record::Entry);
  EXPECT_EQ(r[0].textLength, 3);
  EXPECT_EQ(r[0].annotationLength, 4);
  EXPECT_TRUE(r[0].flag);
  EXPECT_EQ(decodeWordList(d, 3), (std::vector<DecodedEntry>{entry("ABC", 1, true, 0, "note")}));
}

TEST_F(Decoding, TheWordBufferHoldsTextAnnotationAndKeyInPlace) {
  KkdAssembler a = eightBitCodes(1, 6);
  const auto& d = open(a);
  TrickleSource source(a.list({"Ab-c'd\nx y"}), 3);
  WordListDecoder decoder(d);
  decoder.start(&source);
  std::memset(word.get(), 0xEE, sizeof(WordBuffer));
  ASSERT_EQ(decoder.next(*word).record, Record::Entry);
  EXPECT_EQ(std::string(word->raw, 11), std::string("Ab-c'd\0x y\0", 11));
  EXPECT_EQ(std::vector<std::uint8_t>(word->key, word->key + 5), (std::vector<std::uint8_t>{0, 1, 2, 3, 255}));
}

TEST_F(Decoding, RecordsWithoutLettersEndSections) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  // A record of punctuation alone is an end record, like symbol 0 alone,
  // and carries no flag bit.
  BitWriter bits;
  a.putRecord(bits, "ab", 1);
  a.putRecord(bits, "-' ");
  a.putRecord(bits, "cd");
  a.putRecord(bits, "'");
  a.putRecord(bits, "ef");  // after the end of the list: never read
  const auto r = records(d, bits.bytes(), 16384);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].record, Record::Entry);
  EXPECT_EQ(r[1].record, Record::SectionEnd);
  EXPECT_EQ(r[2].record, Record::Entry);
  EXPECT_EQ(r[2].section, 2);
  EXPECT_EQ(r[2].definitionIndex, 0);
  EXPECT_EQ(r[3].record, Record::ListEnd);
}

TEST_F(Decoding, LongCodesAndSmallBlocksDecodeAlike) {
  KkdAssembler a(1, 9);
  // A skewed code: 'e' on 1 bit, then 2, 3, … up to 32 bits, so codes run
  // across bytes, blocks and the fast table's 8 bits.
  std::map<std::uint8_t, int> lengths;
  const std::string order = "etaoinshrdlucmfwypvbgkjqxz";
  for (std::size_t i = 0; i < order.size(); ++i) lengths[static_cast<std::uint8_t>(order[i])] = static_cast<int>(i) + 1;
  lengths[0] = 27;
  lengths['\n'] = 28;
  lengths['-'] = 31;
  lengths['\''] = 32;
  lengths['A'] = 32;
  a.assignCodes(lengths);
  std::vector<std::string> words = {"zebra-crossing", "quixotic\njk'", "e", "ee*", "jazz*", "Aqua"};
  std::vector<std::string> index = {"xylophone", "z"};
  a.addList(8, words, index);
  const auto& d = open(a);
  const std::string bytes = a.list(words, index);

  std::vector<std::string> whole, trickled;
  const auto expected = records(d, bytes, 16384, &whole);
  for (const std::size_t step : {1u, 2u, 3u, 7u, 9u}) {
    SCOPED_TRACE(step);
    const auto r = records(d, bytes, step, &trickled);
    ASSERT_EQ(r.size(), expected.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
      EXPECT_EQ(r[i].record, expected[i].record);
      EXPECT_EQ(r[i].definitionIndex, expected[i].definitionIndex);
    }
    EXPECT_EQ(trickled, whole);
    trickled.clear();
  }
  EXPECT_EQ(decodeWordList(d, 8),
            (std::vector<DecodedEntry>{entry("zebra-crossing", 1, false, -1), entry("quixotic", 1, false, -1, "jk'"),
                                       entry("e", 1, false, -1), entry("ee", 1, true, 0), entry("jazz", 1, true, 1),
                                       entry("Aqua", 1, false, -1), entry("xylophone", 2, false, 0),
                                       entry("z", 2, false, 1)}));
}

// Code lengths of a Huffman code for random symbol weights: short codes
// for the frequent symbols, as a built dictionary has them, and long ones
// for the rare.
std::map<std::uint8_t, int> huffmanLengths(const std::string& symbols, std::mt19937& random) {
  std::vector<int> parent(symbols.size(), -1);
  using Node = std::pair<std::uint64_t, int>;  // weight, node
  std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
  std::uniform_int_distribution<int> exponent(0, 16);
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    queue.push({std::uint64_t{1} << exponent(random), static_cast<int>(i)});
  }
  while (queue.size() > 1) {
    const Node a = queue.top();
    queue.pop();
    const Node b = queue.top();
    queue.pop();
    parent.push_back(-1);
    const int joined = static_cast<int>(parent.size()) - 1;
    parent[static_cast<std::size_t>(a.second)] = parent[static_cast<std::size_t>(b.second)] = joined;
    queue.push({a.first + b.first, joined});
  }
  std::map<std::uint8_t, int> lengths;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    int depth = 0;
    for (int n = parent[i]; n >= 0; n = parent[static_cast<std::size_t>(n)]) ++depth;
    lengths[static_cast<std::uint8_t>(symbols[i])] = std::min(depth, 32);
  }
  return lengths;
}

TEST_F(Decoding, RandomCodesAndListsDecodeAsTheReferenceReaderDoes) {
  // Lists of random words, annotations and flags under random codes of 1 to
  // 32 bits: every entry decodes as the simple bit-by-bit reader of the
  // tests decodes it, and alike however the bytes are handed over.
  std::mt19937 random(7);
  const std::string symbols = std::string("\0\n", 2) + "abcdefghijklmnopqrstuvwxyzABC-' ";
  const std::string characters = symbols.substr(2);
  const auto pick = [&random](const std::string& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  const auto randomWord = [&](int letters) {
    std::string word;
    for (int i = 0; i < letters; ++i) {
      if (random() % 8 == 0) word.push_back(pick(characters));
      word.push_back(pick("abcdefghijklmnopqrstuvwxyz"));
    }
    return word;
  };
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    KkdAssembler a(1, 16);
    if (round % 3 == 0) {
      // Skewed: lengths 1, 2, 3 … so that most codes are longer than a group.
      std::map<std::uint8_t, int> lengths;
      std::string order = symbols;
      std::shuffle(order.begin(), order.end(), random);
      // 1 … 29 bits, and the last five share what is left: 31, 31, 31, 32
      // and 32 bits, so that the code is complete.
      for (std::size_t i = 0; i < order.size(); ++i) {
        const int tail[] = {31, 31, 31, 32, 32};
        lengths[static_cast<std::uint8_t>(order[i])] = i < 29 ? static_cast<int>(i) + 1 : tail[i - 29];
      }
      a.assignCodes(lengths);
    } else {
      a.assignCodes(huffmanLengths(symbols, random));
    }
    std::vector<std::vector<std::string>> section1(16), section2(16);
    for (std::size_t length = 1; length < 16; ++length) {
      const int entries = std::uniform_int_distribution<int>(0, 300)(random);
      for (int e = 0; e < entries; ++e) {
        std::string word = randomWord(static_cast<int>(length));
        if (random() % 6 == 0) {
          word += "\n" + randomWord(1 + static_cast<int>(random() % 5)) + (random() % 3 ? "" : "\nx");
        }
        if (random() % 2) word += "*";
        section1[length].push_back(word);
      }
      for (int e = 0; e < entries / 4; ++e) {
        std::string word;
        for (std::size_t i = 0; i < length; ++i) word.push_back(pick("abcdefghijklmnopqrstuvwxyz"));
        section2[length].push_back(word);
      }
      if (entries > 0) a.addList(static_cast<int>(length), section1[length], section2[length]);
    }
    const auto& d = open(a);
    const test::KkdFile file = test::parseKkd(a.bytes());
    for (int length = 1; length < 16; ++length) {
      SCOPED_TRACE(length);
      bool complete = false;
      const auto decoded = decodeWordList(d, length, &complete);
      EXPECT_TRUE(complete);
      const test::KkdWordList expected = test::decodeWordList(file, length);
      ASSERT_EQ(decoded.size(), expected.section1.size() + expected.section2.size());
      int flagged = 0;
      for (std::size_t i = 0; i < decoded.size(); ++i) {
        const DecodedEntry& e = decoded[i];
        const bool first = i < expected.section1.size();
        const std::string& text = first ? expected.section1[i].text : expected.section2[i - expected.section1.size()];
        const std::size_t split = text.find('\n');
        ASSERT_EQ(e.text, text.substr(0, split)) << i;
        EXPECT_EQ(e.annotation, split == std::string::npos ? "" : text.substr(split + 1)) << i;
        EXPECT_EQ(e.key, keyOf(e.text)) << i;
        EXPECT_EQ(e.section, first ? 1 : 2);
        if (first) {
          EXPECT_EQ(e.flag, expected.section1[i].flag) << i;
          EXPECT_EQ(e.definitionIndex, e.flag ? flagged++ : -1) << i;
        } else {
          EXPECT_EQ(e.definitionIndex, static_cast<int>(i - expected.section1.size())) << i;
        }
      }
      const auto slot = static_cast<std::size_t>(length);
      if (length % 5 == 0 && !section1[slot].empty()) {
        const std::string bytes = a.list(section1[slot], section2[slot]);
        std::vector<std::string> whole, trickled;
        const auto all = records(d, bytes, 16384, &whole);
        for (const std::size_t step : {1u, 3u, 8u, 13u}) {
          const auto r = records(d, bytes, step, &trickled);
          ASSERT_EQ(r.size(), all.size()) << step;
          for (std::size_t i = 0; i < r.size(); ++i) {
            EXPECT_EQ(r[i].record, all[i].record);
            EXPECT_EQ(r[i].definitionIndex, all[i].definitionIndex);
            EXPECT_EQ(r[i].annotationLength, all[i].annotationLength);
          }
          EXPECT_EQ(trickled, whole) << step;
          trickled.clear();
        }
      }
    }
  }
}

TEST_F(Decoding, AListLongerThanOneBlockIsReadBlockByBlock) {
  KkdAssembler a = eightBitCodes(1, 12);
  std::vector<std::string> words;
  for (int i = 0; i < 5000; ++i) {
    std::string w = "abcdefghij";
    for (int k = 0, v = i; k < 4; ++k, v /= 26) w[static_cast<std::size_t>(6 + k)] = static_cast<char>('a' + v % 26);
    words.push_back(w + (i % 3 == 0 ? "*" : ""));
  }
  a.addList(10, words, {"zzzzzzzzzz"});
  a.addList(11, {"abcdefghijk"});
  const auto& d = open(a);
  ASSERT_GT(a.body.size(), 3 * WordListDecoder::kBlockSize);
  bool complete = false;
  const auto decoded = decodeWordList(d, 10, &complete);
  EXPECT_TRUE(complete);
  ASSERT_EQ(decoded.size(), 5001u);
  for (int i = 0; i < 5000; ++i) {
    const std::string& w = words[static_cast<std::size_t>(i)];
    EXPECT_EQ(decoded[static_cast<std::size_t>(i)].text, w.substr(0, 10));
    EXPECT_EQ(decoded[static_cast<std::size_t>(i)].definitionIndex, i % 3 == 0 ? i / 3 : -1);
  }
  EXPECT_EQ(decoded.back(), entry("zzzzzzzzzz", 2, false, 0));
  EXPECT_EQ(decodeWordList(d, 11).size(), 1u);
}

TEST_F(Decoding, OverlongRecordsAreCutToTheBuffer) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  const std::string longText(1500, 'q');
  const std::string longNote(900, 'n');
  for (const auto& [record, text, key, note] :
       {std::tuple{longText, 998, 127, 0}, std::tuple{std::string(500, 'a') + "\n" + longNote, 500, 127, 498},
        std::tuple{std::string(997, '-') + "ab\nxyz", 998, 2, 0}, std::tuple{"ab\n" + longNote, 2, 2, 900}}) {
    BitWriter bits;
    a.putRecord(bits, record, 1);
    a.putRecord(bits, "cd", 0);
    a.putRecord(bits, "");
    WordListDecoder decoder(d);
    const std::string bytes = bits.bytes();
    MemorySource all(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    decoder.start(&all);
    const auto r = decoder.next(*word);
    ASSERT_EQ(r.record, Record::Entry);
    EXPECT_EQ(r.textLength, text);
    EXPECT_EQ(r.keyLength, key);
    EXPECT_EQ(r.annotationLength, note);
    EXPECT_TRUE(r.flag);
    EXPECT_EQ(word->key[key], 255);
    EXPECT_EQ(word->raw[text], 0);
    EXPECT_EQ(word->raw[text + 1 + note], 0);
    EXPECT_LE(text + 1 + note, WordBuffer::kRawSize - 1);
    // The record after it is still found: the cut lost no bits.
    const auto next = decoder.next(*word);
    EXPECT_EQ(next.record, Record::Entry);
    EXPECT_EQ(std::string(word->raw), "cd");
  }
}

TEST_F(Decoding, ATruncatedListEndsBroken) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  std::string bytes = a.list({"ab*", "cd"}, {"ef"});
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    auto r = records(d, bytes.substr(0, cut), 5);
    ASSERT_FALSE(r.empty());
    // The last end record needs the last byte.
    EXPECT_EQ(r.back().record, Record::Broken);
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
}

TEST_F(Decoding, ADeadBranchEndsTheListBroken) {
  KkdAssembler a(1, 4);
  // An incomplete code: nothing starts with 11.
  a.assignCodes({{0, 2}, {'a', 2}, {'b', 3}, {'c', 30}});
  const auto& d = open(a);
  BitWriter bits;
  a.putRecord(bits, "ab", 0);
  bits.put(0b11, 2);
  const auto r = records(d, bits.bytes(), 16384);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].record, Record::Entry);
  EXPECT_EQ(r[1].record, Record::Broken);

  BitWriter deep;  // a dead branch met after the fast table's 8 bits
  deep.put(0b101, 3);
  deep.put(0, 10);
  deep.put(1, 1);
  EXPECT_EQ(records(d, deep.bytes(), 16384).back().record, Record::Broken);
}

TEST_F(Decoding, AFlagBitMissingAtTheEndBreaksTheList) {
  KkdAssembler a(1, 4);
  a.assignCodes({{0, 1}, {'a', 2}, {'b', 2}});
  const auto& d = open(a);
  BitWriter bits;
  a.putRecord(bits, "abab");  // 9 bits: the 8 of one byte are not enough
  EXPECT_EQ(bits.bitCount(), 9u);
  EXPECT_EQ(records(d, bits.bytes(false).substr(0, 1), 16384).back().record, Record::Broken);
  // With the byte that holds symbol 0's bit but no flag (padding is 0, so
  // a flag 0 is read from it: the padding belongs to the stream).
  EXPECT_EQ(records(d, bits.bytes(false), 16384).front().record, Record::Entry);
}

TEST_F(Decoding, StartAndFillTellsAnUnreadableListFromAReadableOne) {
  KkdAssembler a = eightBitCodes(1, 4);
  const auto& d = open(a);
  WordListDecoder decoder(d);
  TrickleSource nothing("", 16384);
  EXPECT_FALSE(decoder.startAndFill(&nothing));
  EXPECT_EQ(decoder.next(*word).record, Record::Broken);
  EXPECT_TRUE(decoder.finished());

  // Starting again forgets the broken list; the first block is in hand.
  TrickleSource list(a.list({"ab*", "cd"}, {"ef"}), 16384);
  EXPECT_TRUE(decoder.startAndFill(&list));
  EXPECT_EQ(list.calls, 1);
  EXPECT_FALSE(decoder.finished());
  EXPECT_EQ(decoder.next(*word).record, Record::Entry);
  EXPECT_EQ(decoder.next(*word).record, Record::Entry);
  EXPECT_EQ(decoder.section(), 1);
  EXPECT_EQ(decoder.next(*word).record, Record::SectionEnd);
  EXPECT_EQ(decoder.section(), 2);
  EXPECT_EQ(decoder.next(*word).record, Record::Entry);
  EXPECT_EQ(decoder.next(*word).record, Record::ListEnd);
  EXPECT_EQ(decoder.entriesRead(), 3u);
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
