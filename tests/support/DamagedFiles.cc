#include "support/DamagedFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "support/TempDir.h"

namespace kea::test {

ScratchFile::ScratchFile() {
  const std::string folder = std::filesystem::is_directory("/dev/shm") ? std::string("/dev/shm")
                                                                        : std::filesystem::temp_directory_path().string();
  std::string pattern = folder + "/kea-damaged-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error("cannot create a scratch file");
  close(fd);
  path_ = pattern;
}

ScratchFile::~ScratchFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

bool openAndDecodeAll(const ScratchFile& scratch, const std::string& bytes) {
  writeFile(scratch.path(), bytes);
  DictionaryList::Dictionary d(scratch.path());
  d.open(true);
  if (!d.isOpen()) {
    EXPECT_EQ(d.statusText(), "-- INVALID DICTIONARY FILE --");
    return false;
  }
  platform::ReadOnlyFile file;
  EXPECT_EQ(file.open(d.path()), platform::OpenError::None);
  auto decoder = std::make_unique<WordListDecoder>(d);
  auto word = std::make_unique<WordBuffer>();
  for (int length = 0; length <= kkd::kMaxLengthSlots; ++length) {
    const auto start = d.wordListStart(length);
    if (!start) continue;
    FileSource source(file, *start, d.fileSize());
    decoder->start(&source);
    std::uint64_t records = 0;
    for (;; ++records) {
      const WordListDecoder::Result r = decoder->next(*word);
      if (r.record == WordListDecoder::Record::ListEnd || r.record == WordListDecoder::Record::Broken) break;
      if (r.record != WordListDecoder::Record::Entry) continue;
      // Plain tests here: this loop may run over thousands of garbage records.
      bool sound = r.textLength + r.annotationLength + 2 <= WordBuffer::kRawSize &&
                   r.keyLength <= WordBuffer::kKeySize - 1 && word->key[r.keyLength] == kkd::kNoIndex;
      for (int k = 0; sound && k < r.keyLength; ++k) sound = word->key[k] < d.alphabetSize();
      if (!sound) {
        ADD_FAILURE() << "length " << length << ", record " << records << " breaks the word buffer's limits";
        return true;
      }
    }
    // Every record takes at least one bit of the file.
    EXPECT_LE(records, bytes.size() * 8);
  }
  return true;
}

}  // namespace kea::test
