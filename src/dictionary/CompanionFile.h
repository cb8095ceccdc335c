// Files kept beside a dictionary: its commonness scores, its block
// summaries. Each is named after the dictionary ("English.kkd" keeps
// "English.scores") and is tied to the exact dictionary file it was made
// from, so that a companion left behind by a rebuilt, replaced or damaged
// dictionary is ignored rather than believed. The `.kkd` file itself never
// changes for them, and a dictionary without companions works as before.
//
// Every companion file has the same frame (little-endian):
//
//   offset  size  field
//   0       8     magic, naming the kind of companion and its version
//   8       8     u64  the dictionary's size in bytes
//   16      8     i64  the dictionary's last-write time in nanoseconds, or 0
//                      when the companion does not depend on it
//   24      8     u64  the dictionary's header hash (dictionaryHeaderHash)
//   32      8     u64  payload size P
//   40      P     payload, the kind's own layout
//   40+P    8     u64  the checksum: wideHash64 of the payload seeded with
//                      the FNV-1a hash of bytes 0 … 39
//
// and nothing after it. A reader takes a companion only when the frame is
// whole, the hash agrees and the fingerprint matches the open dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace kea {

inline constexpr std::size_t kCompanionMagicSize = 8;
inline constexpr std::size_t kCompanionFrameSize = 48;  // everything but the payload

// What ties a companion to its dictionary.
struct DictionaryFingerprint {
  std::uint64_t size = 0;
  // 0 in a companion that holds nothing the file's time could invalidate.
  std::int64_t lastWriteTime = 0;
  std::uint64_t headerHash = 0;

  bool operator==(const DictionaryFingerprint&) const = default;
};

// 64-bit FNV-1a, continued from `seed`: for short texts.
std::uint64_t fnv1a64(const void* data, std::size_t size, std::uint64_t seed = 0xcbf29ce484222325ull);

// A 64-bit hash that takes 32 bytes a step (little-endian 64-bit words in
// four independent lanes, each step a bijection of its lane, then a final
// mix), so that checking a payload of a few hundred kilobytes costs a few
// tens of microseconds where byte-at-a-time FNV-1a takes ten times as long.
// Any change within one 8-byte word always changes the hash.
std::uint64_t wideHash64(const void* data, std::size_t size, std::uint64_t seed);

// The companion of a dictionary: its path with the ".kkd" extension (any
// letter case) replaced by `extension` (".scores"), or `extension`
// appended when the path has no ".kkd" extension.
std::string companionPath(std::string_view dictionaryPath, std::string_view extension);

// How strictly a reader matches the fingerprint.
enum class FingerprintCheck {
  SizeAndHeader,          // content only: a copied dictionary keeps its companions
  SizeHeaderAndTime,      // also the last-write time
  // Also the last-write time, to the whole second: the copies that keep a
  // file's time (cmake --install, tar, Debian packages) often keep only
  // its seconds.
  SizeHeaderAndSecond,
};

// Why a companion was not taken (for messages and tests).
enum class CompanionStatus {
  Loaded,
  Missing,       // no such file
  Unreadable,    // not a regular file, or a read failed
  Damaged,       // wrong magic, short, oversized, or the hash disagrees
  Stale,         // made from another dictionary file
};

struct CompanionFile {
  CompanionStatus status = CompanionStatus::Missing;
  DictionaryFingerprint madeFrom;
  std::vector<unsigned char> payload;
};

// Reads the companion at `path` whose magic is `magic` (8 bytes), refusing
// one over `maxPayload` bytes without reading it, and checks it against
// `dictionary`.
CompanionFile readCompanionFile(const std::string& path, std::string_view magic, std::size_t maxPayload,
                                const DictionaryFingerprint& dictionary, FingerprintCheck check);

// A companion's frame checked and its file left open, for a kind that
// reads its payload in parts and checks each part itself (a large index
// of which a search needs a little). `status` is Loaded when the magic,
// size and fingerprint fit; the payload's closing hash is not checked.
struct CompanionHandle {
  CompanionStatus status = CompanionStatus::Missing;
  DictionaryFingerprint madeFrom;
  platform::ReadOnlyFile file;
  unsigned char head[40] = {};
  std::uint64_t payloadSize = 0;
};
inline constexpr std::uint64_t kCompanionPayloadStart = 40;
CompanionHandle openCompanionFile(const std::string& path, std::string_view magic, std::size_t maxPayload,
                                  const DictionaryFingerprint& dictionary, FingerprintCheck check);

// The whole file for a payload: frame, payload and hash (the builder's
// writeCompanionFile puts it in place).
std::string frameCompanion(std::string_view magic, const DictionaryFingerprint& dictionary,
                           std::string_view payload);

}  // namespace kea
