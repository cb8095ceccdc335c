// A dictionary's file opened to read its word lists: the one place where a
// word list is opened. startList() takes a handle of the file the
// dictionary holds open (or keeps the one already held), makes sure it is
// still the file whose header and code tables are in memory, and starts a
// decoder on one length's list, reading its first block; the object is
// then that decoder's ByteSource.
//
// The handle is the dictionary's own file, so a file replaced by another
// (a rebuilt dictionary renamed into place) or deleted is still read whole.
// A file changed in place is noticed by its stamp at every block read: the
// list then stops and changed() says why.
//
// A file that shares its handle (see Sharing) may lose it to another such
// file when the process runs out of file handles; it remembers where it
// was and opens the file again, checking it once more, at its next read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dictionary/DictionaryList.h"
#include "dictionary/WordListDecoder.h"
#include "platform/File.h"

namespace kea {

// Why a word list could not be read to its end.
enum class ListProblem {
  None,
  Damaged,     // the list stopped without its end record, or gave a word of another length
  Changed,     // the file changed on disk while it was read
  Unreadable,  // the file could not be opened or read
};

class WordListFile final : private ByteSource {
 public:
  enum class Sharing {
    // The handle is this object's alone; without a free handle the open fails.
    Private,
    // The object joins the process-wide list of sharing files: when it
    // needs a handle and none is free, it closes the first other member's
    // handle, and gives up its own in the same way.
    Shared,
  };

  enum class Status {
    Reading,     // the decoder is started and the list's first bytes are read
    NotOpen,     // the dictionary is not open
    NoList,      // the dictionary has no list for the length (nothing was opened)
    Unreadable,  // the file cannot be opened or read, or changed since the dictionary read it
  };

  explicit WordListFile(Sharing sharing = Sharing::Private);
  ~WordListFile() override;
  WordListFile(const WordListFile&) = delete;
  WordListFile& operator=(const WordListFile&) = delete;

  // Opens the file of `dictionary` and checks that it is the file the
  // dictionary's tables were read from; keeps the handle already held when
  // it is that file. False (and nothing held) otherwise.
  bool open(const DictionaryList::Dictionary& dictionary);

  // Starts `decoder` (a decoder of `dictionary`) on the list of `length`
  // words: at its start, or at a record found by the decoder's
  // bitPosition() and flaggedSoFar() on an earlier reading of the same list.
  // Opens the file as open() does first. NotOpen and NoList change
  // nothing; after Unreadable no handle is held and the decoder reads as at
  // the end of its data.
  Status startList(const DictionaryList::Dictionary& dictionary, int length, WordListDecoder& decoder,
                   std::uint64_t startBit = 0, int flaggedBefore = 0);

  // Gives up the handle; a list being read opens the file again at its
  // next read.
  void close() { file_.close(); }
  bool isOpen() const { return file_.isOpen(); }
  // Whether the file was found changed since the dictionary read it, at
  // the last start or at a read of the list since.
  bool changed() const { return changed_; }

 private:
  // ByteSource: the next bytes of the list, opening the file again when
  // its handle was given up.
  std::size_t read(unsigned char* into, std::size_t capacity) override;
  // Takes a handle of the dictionary's file and checks its stamp against
  // `stamp_`.
  bool openChecked();
  // Closes the handle of the first other sharing file that holds one.
  bool takeHandleFromAnother();

  Sharing sharing_;
  // The process-wide list of sharing files.
  WordListFile* next_ = nullptr;
  WordListFile* previous_ = nullptr;

  platform::ReadOnlyFile file_;
  const DictionaryList::Dictionary* dictionary_ = nullptr;
  // The file as the dictionary read it: a file changed since no longer
  // matches the decoding tables in memory.
  platform::FileStamp stamp_;
  bool changed_ = false;
  // The list's next byte, and the end of the file as the dictionary read it.
  std::uint64_t position_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace kea
