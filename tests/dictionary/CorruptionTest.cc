// Damaged files: cut short or with bytes changed, a dictionary either opens
// or says it is invalid, and every word list of one that opens decodes to a
// clean end. Run under the sanitizer build these also prove that nothing is
// read outside a buffer.
#include <gtest/gtest.h>

#include "support/DamagedFiles.h"
#include "support/KkdAssembler.h"

namespace kea {
namespace {

using test::KkdAssembler;

KkdAssembler sample(int version) {
  KkdAssembler a(version, 7);
  a.description = "Damage me";
  std::map<std::uint8_t, int> lengths;
  const std::string order = "etaoinshrdlucmfwypvbgkjqxz";
  for (std::size_t i = 0; i < order.size(); ++i) lengths[static_cast<std::uint8_t>(order[i])] = 3 + static_cast<int>(i) / 2;
  lengths[0] = 3;
  lengths['\n'] = 20;
  lengths['-'] = 18;
  a.assignCodes(lengths);
  a.positionTableCount = 21;
  a.positionTables.assign(21u * 26u, '\x01');
  a.addList(2, {"at*", "be", "ox*"}, {"qi"});
  a.addList(3, {"the", "fly-by\nnote*"}, {"zzz", "yak"});
  a.addList(6, {"electron*", "obelisk"});
  a.groupEntries = {0, 2, 1, 0, 0, 0, 1};
  return a;
}

TEST(Corruption, EveryTruncationOpensOrIsInvalid) {
  test::ScratchFile dir;
  for (const int version : {0, 1}) {
    const std::string bytes = sample(version).bytes();
    ASSERT_TRUE(test::openAndDecodeAll(dir, bytes));
    int opened = 0;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      SCOPED_TRACE(cut);
      opened += test::openAndDecodeAll(dir, bytes.substr(0, cut));
    }
    // Cuts inside the word lists leave a usable header; the others do not.
    const std::size_t header = sample(version).bodyOffset() - sample(version).body.size();
    EXPECT_EQ(opened, static_cast<int>(bytes.size() - header));
  }
}

TEST(Corruption, EveryChangedByteOpensOrIsInvalid) {
  test::ScratchFile dir;
  for (const int version : {0, 1}) {
    const std::string bytes = sample(version).bytes();
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      for (const int flip : {0x01, 0xFF}) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ flip);
        SCOPED_TRACE(testing::Message() << "byte " << at << " ^ " << flip);
        test::openAndDecodeAll(dir, damaged);
      }
    }
  }
}

TEST(Corruption, GarbageAfterAValidHeaderDecodesToACleanEnd) {
  test::ScratchFile dir;
  KkdAssembler a = sample(1);
  std::uint32_t seed = 12345;
  for (char& c : a.body) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  EXPECT_TRUE(test::openAndDecodeAll(dir, a.bytes()));
}

}  // namespace
}  // namespace kea
