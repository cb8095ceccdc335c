// Damaged files laid out by hand in both versions: cut short or with bytes
// changed, a dictionary either opens or says it is invalid, and every word
// list of one that opens decodes to a clean end. Run under the sanitizer
// build these also prove that nothing is read outside a buffer.
#include <gtest/gtest.h>

#include "support/DamagedFiles.h"
#include "support/KkdAssembler.h"

namespace kea {
namespace {

using test::KkdAssembler;

KkdAssembler sample(int version) {
  KkdAssembler a(version, 7);
  a.description = "Damage me";
  std::map<std::uint8_t, int> lengths = {{0, 3}, {'\n', 20}, {'-', 18}};
  const std::string order = "etaoinshrdlucmfwypvbgkjqxz";
  for (std::size_t i = 0; i < order.size(); ++i) lengths[static_cast<std::uint8_t>(order[i])] = 3 + static_cast<int>(i) / 2;
  a.assignCodes(lengths);
  a.positionTableCount = 21;
  a.positionTables.assign(21u * 26u, '\x01');
  a.addList(2, {"at*", "be", "ox*"}, {"qi"});
  a.addList(3, {"the", "fly-by\nnote*"}, {"zzz", "yak"});
  a.addList(6, {"electron*", "obelisk"});
  a.groupEntries = {0, 2, 1, 0, 0, 0, 1};
  return a;
}

TEST(Corruption, EveryTruncationAndChangedByteOpensOrIsInvalid) {
  test::ScratchFile scratch;
  for (const int version : {0, 1}) {
    SCOPED_TRACE(version);
    const KkdAssembler a = sample(version);
    const std::string bytes = a.bytes();
    ASSERT_TRUE(test::openAndDecodeAll(scratch, bytes));
    // Cuts inside the word lists leave a usable header; the others do not.
    const std::size_t header = a.bodyOffset() - a.body.size();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      EXPECT_EQ(test::openAndDecodeAll(scratch, bytes.substr(0, cut)), cut >= header) << cut;
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      for (const int flip : {0x01, 0xFF}) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ flip);
        SCOPED_TRACE(testing::Message() << "byte " << at << " ^ " << flip);
        test::openAndDecodeAll(scratch, damaged);
      }
    }
  }
  // Garbage after a valid header.
  KkdAssembler a = sample(1);
  std::uint32_t seed = 12345;
  for (char& c : a.body) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  EXPECT_TRUE(test::openAndDecodeAll(scratch, a.bytes()));
}

}  // namespace
}  // namespace kea
