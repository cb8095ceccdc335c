#include "app/LowMemory.h"

#include <unistd.h>

#include <QMessageBox>
#include <algorithm>
#include <new>

#include "dictionary/DecodedLists.h"
#include "search/SearchController.h"
#include "text/StringTable.h"
#include "ui/QtText.h"

namespace kea::app {

namespace {

constexpr std::size_t kReserveBytes = 8 << 20;
char* reserve = nullptr;
bool handling = false;

void onOutOfMemory() {
  // Words kept only to search faster go first; the allocation is tried again.
  if (DecodedLists::dropAll() > 0) return;
  // Showing the message ran out of memory too: this allocation fails.
  if (handling) throw std::bad_alloc();
  handling = true;
  delete[] reserve;
  reserve = nullptr;
  const auto answer = QMessageBox::warning(nullptr, ui::toQString(texts::kMemoryLowCaption),
                                           ui::toQString(texts::kMemoryLow),
                                           QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
  handling = false;
  if (answer != QMessageBox::Retry) _exit(1);
  SearchController::setLowMemory();
}

}  // namespace

void installLowMemoryHandler() {
  reserve = new char[kReserveBytes];
  std::set_new_handler(onOutOfMemory);
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  const std::size_t memory = pages > 0 && pageSize > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize) : 0;
  DecodedLists::setBudget(std::min<std::size_t>(memory / 16, std::size_t{256} << 20));
}

}  // namespace kea::app
