#include "dictionary/CompanionFile.h"

#include <cstring>

#include "dictionary/Coding.h"
#include "platform/File.h"

namespace kea {
namespace {

constexpr std::size_t kSizeField = 8;
constexpr std::size_t kTimeField = 16;
constexpr std::size_t kHeaderHashField = 24;
constexpr std::size_t kPayloadSizeField = 32;
constexpr std::size_t kPayloadStart = 40;

std::uint64_t decodeFixed64(const unsigned char* p) {
  return static_cast<std::uint64_t>(coding::decodeFixed32(p)) |
         (static_cast<std::uint64_t>(coding::decodeFixed32(p + 4)) << 32);
}

void putFixed64(std::string& out, std::uint64_t value) {
  coding::putFixed32(out, static_cast<std::uint32_t>(value));
  coding::putFixed32(out, static_cast<std::uint32_t>(value >> 32));
}

std::uint64_t load64(const unsigned char* p) { return decodeFixed64(p); }

std::uint64_t rotateLeft(std::uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

// The frame's closing checksum of `head` (bytes 0 … 39) and the payload:
// quick enough that checking a companion of several megabytes costs a
// process almost nothing.
std::uint64_t frameHash(const unsigned char* head, const unsigned char* payload, std::size_t payloadSize) {
  return wideHash64(payload, payloadSize, fnv1a64(head, kPayloadStart));
}

// Nanoseconds to the second that holds them (earlier for times before 1970).
std::int64_t wholeSeconds(std::int64_t nanoseconds) {
  constexpr std::int64_t kSecond = 1000000000;
  return nanoseconds / kSecond - (nanoseconds % kSecond < 0 ? 1 : 0);
}

bool endsWithKkd(std::string_view path) {
  if (path.size() < 4) return false;
  const std::string_view end = path.substr(path.size() - 4);
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return end[0] == '.' && lower(end[1]) == 'k' && lower(end[2]) == 'k' && lower(end[3]) == 'd';
}

}  // namespace

std::uint64_t fnv1a64(const void* data, std::size_t size, std::uint64_t seed) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint64_t hash = seed;
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= p[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::uint64_t wideHash64(const void* data, std::size_t size, std::uint64_t seed) {
  constexpr std::uint64_t kPrime1 = 0x9e3779b185ebca87ull;
  constexpr std::uint64_t kPrime2 = 0xc2b2ae3d27d4eb4full;
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint64_t lanes[4] = {seed + kPrime1, seed ^ kPrime2, seed - kPrime1, ~seed};
  std::size_t i = 0;
  for (; size - i >= 32; i += 32) {
    for (std::size_t k = 0; k < 4; ++k) {
      lanes[k] = rotateLeft(lanes[k] + load64(p + i + 8 * k) * kPrime2, 31) * kPrime1;
    }
  }
  std::uint64_t hash = rotateLeft(lanes[0], 1) + rotateLeft(lanes[1], 7) + rotateLeft(lanes[2], 12) +
                       rotateLeft(lanes[3], 18) + size;
  hash = fnv1a64(p + i, size - i, hash);
  // The final mix spreads every bit over the whole value.
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdull;
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53ull;
  hash ^= hash >> 33;
  return hash;
}

std::string companionPath(std::string_view dictionaryPath, std::string_view extension) {
  std::string path(dictionaryPath);
  // A folder called "x.kkd" keeps its name: only the file's own extension goes.
  const std::size_t slash = path.rfind('/');
  const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (endsWithKkd(name) && name.size() > 4) path.resize(path.size() - 4);
  path += extension;
  return path;
}

CompanionHandle openCompanionFile(const std::string& path, std::string_view magic, std::size_t maxPayload,
                                  const DictionaryFingerprint& dictionary, FingerprintCheck check) {
  CompanionHandle out;
  if (out.file.open(path) != platform::OpenError::None) {
    out.status = platform::fileStamp(path) ? CompanionStatus::Unreadable : CompanionStatus::Missing;
    return out;
  }
  const std::optional<platform::FileStamp> stamp = out.file.stamp();
  if (!stamp) {
    out.status = CompanionStatus::Unreadable;
    return out;
  }
  out.status = CompanionStatus::Damaged;
  if (stamp->size < kCompanionFrameSize || out.file.readAt(0, out.head, sizeof out.head) != sizeof out.head) return out;
  if (magic.size() != kCompanionMagicSize || std::memcmp(out.head, magic.data(), kCompanionMagicSize) != 0) return out;
  const std::uint64_t payloadSize = decodeFixed64(out.head + kPayloadSizeField);
  // The size field must account for the whole file, so a cut or padded
  // file is caught before anything is allocated for it.
  if (payloadSize > maxPayload || payloadSize != stamp->size - kCompanionFrameSize) return out;
  out.payloadSize = payloadSize;

  out.madeFrom.size = decodeFixed64(out.head + kSizeField);
  out.madeFrom.lastWriteTime = static_cast<std::int64_t>(decodeFixed64(out.head + kTimeField));
  out.madeFrom.headerHash = decodeFixed64(out.head + kHeaderHashField);
  const bool sameContent =
      out.madeFrom.size == dictionary.size && out.madeFrom.headerHash == dictionary.headerHash;
  bool sameTime = true;
  if (check == FingerprintCheck::SizeHeaderAndTime) {
    sameTime = out.madeFrom.lastWriteTime == dictionary.lastWriteTime;
  } else if (check == FingerprintCheck::SizeHeaderAndSecond) {
    sameTime = wholeSeconds(out.madeFrom.lastWriteTime) == wholeSeconds(dictionary.lastWriteTime);
  }
  out.status = sameContent && sameTime ? CompanionStatus::Loaded : CompanionStatus::Stale;
  return out;
}

CompanionFile readCompanionFile(const std::string& path, std::string_view magic, std::size_t maxPayload,
                                const DictionaryFingerprint& dictionary, FingerprintCheck check) {
  CompanionFile out;
  CompanionHandle handle = openCompanionFile(path, magic, maxPayload, dictionary, check);
  out.madeFrom = handle.madeFrom;
  out.status = handle.status;
  if (handle.status != CompanionStatus::Loaded && handle.status != CompanionStatus::Stale) return out;
  // Damaged until the hash agrees, even when the file is also stale.
  out.status = CompanionStatus::Damaged;
  std::vector<unsigned char> payload(static_cast<std::size_t>(handle.payloadSize));
  unsigned char tail[8];
  if (handle.file.readAt(kPayloadStart, payload.data(), payload.size()) != payload.size() ||
      handle.file.readAt(kPayloadStart + handle.payloadSize, tail, sizeof tail) != sizeof tail) {
    out.status = CompanionStatus::Unreadable;
    return out;
  }
  if (frameHash(handle.head, payload.data(), payload.size()) != decodeFixed64(tail)) return out;
  if (handle.status == CompanionStatus::Stale) {
    out.status = CompanionStatus::Stale;
    return out;
  }
  out.payload = std::move(payload);
  out.status = CompanionStatus::Loaded;
  return out;
}

std::string frameCompanion(std::string_view magic, const DictionaryFingerprint& dictionary,
                           std::string_view payload) {
  std::string out;
  out.reserve(kCompanionFrameSize + payload.size());
  out.append(magic.substr(0, kCompanionMagicSize));
  out.resize(kCompanionMagicSize, '\0');
  putFixed64(out, dictionary.size);
  putFixed64(out, static_cast<std::uint64_t>(dictionary.lastWriteTime));
  putFixed64(out, dictionary.headerHash);
  putFixed64(out, payload.size());
  out.append(payload);
  const auto* bytes = reinterpret_cast<const unsigned char*>(out.data());
  putFixed64(out, frameHash(bytes, bytes + kPayloadStart, payload.size()));
  return out;
}

}  // namespace kea
