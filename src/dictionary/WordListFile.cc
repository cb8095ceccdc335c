#include "dictionary/WordListFile.h"

#include <algorithm>

namespace kea {

namespace {

// The first of the sharing files; each links to the next one.
WordListFile* sharingFiles = nullptr;

}  // namespace

WordListFile::WordListFile(Sharing sharing) : sharing_(sharing) {
  if (sharing_ != Sharing::Shared) return;
  next_ = sharingFiles;
  if (next_ != nullptr) next_->previous_ = this;
  sharingFiles = this;
}

WordListFile::~WordListFile() {
  if (sharing_ != Sharing::Shared) return;
  if (previous_ != nullptr) {
    previous_->next_ = next_;
  } else {
    sharingFiles = next_;
  }
  if (next_ != nullptr) next_->previous_ = previous_;
}

bool WordListFile::open(const DictionaryList::Dictionary& dictionary) {
  const platform::FileStamp stamp{dictionary.lastWriteTime(), dictionary.fileSize()};
  changed_ = false;
  if (file_.isOpen() && dictionary_ == &dictionary && stamp_ == stamp) return true;
  file_.close();
  dictionary_ = &dictionary;
  stamp_ = stamp;
  return openChecked();
}

WordListFile::Status WordListFile::startList(const DictionaryList::Dictionary& dictionary, int length,
                                             WordListDecoder& decoder, std::uint64_t startBit, int flaggedBefore) {
  if (!dictionary.isOpen()) return Status::NotOpen;
  const auto start = dictionary.wordListStart(length);
  if (!start) return Status::NoList;
  if (!open(dictionary)) {
    decoder.start(nullptr);
    return Status::Unreadable;
  }
  // Reads stop at the end of the file as the dictionary measured it; a
  // start past it reads nothing.
  position_ = *start + startBit / 8;
  end_ = dictionary.fileSize();
  if (!decoder.resume(this, static_cast<int>(startBit % 8), flaggedBefore)) {
    file_.close();
    return Status::Unreadable;
  }
  return Status::Reading;
}

std::size_t WordListFile::read(unsigned char* into, std::size_t capacity) {
  if (position_ >= end_) return 0;
  if (!file_.isOpen() && !openChecked()) return 0;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, end_ - position_));
  const std::size_t n = file_.readAt(position_, into, wanted);
  // Looked at after the read: a write that changed these bytes changed
  // the stamp before it changed them.
  const auto stamp = file_.stamp();
  if (!stamp || *stamp != stamp_) {
    changed_ = true;
    file_.close();
    position_ = end_;
    return 0;
  }
  position_ += n;
  return n;
}

bool WordListFile::openChecked() {
  if (dictionary_ == nullptr) return false;
  // Out of handles, another cursor's goes first (it reopens at its next
  // read), then one a dictionary keeps.
  for (;;) {
    const platform::OpenError error = dictionary_->openFile(file_, false);
    if (error == platform::OpenError::None) break;
    if (error != platform::OpenError::TooManyFiles) return false;
    if (sharing_ == Sharing::Shared && takeHandleFromAnother()) continue;
    if (!DictionaryList::releaseKeptFile(dictionary_)) return false;
  }
  // The decoding tables in memory describe the file as the dictionary
  // opened it; a file rewritten since then would decode as nonsense.
  const auto stamp = file_.stamp();
  if (!stamp || *stamp != stamp_) {
    changed_ = true;
    file_.close();
    return false;
  }
  return true;
}

bool WordListFile::takeHandleFromAnother() {
  for (WordListFile* f = sharingFiles; f != nullptr; f = f->next_) {
    if (f == this || !f->file_.isOpen()) continue;
    // Its position already says where its next read starts.
    f->file_.close();
    return true;
  }
  return false;
}

}  // namespace kea
