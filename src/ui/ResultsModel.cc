#include "ui/ResultsModel.h"

#include "search/ResultsCommonness.h"
#include "ui/QtText.h"

namespace kea::ui {

ResultsModel::ResultsModel(ResultsList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shown_(list.count()) {
  list_.setHost(this);
}

ResultsModel::~ResultsModel() { list_.setHost(nullptr); }

int ResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_ || index.column() != 0) return {};
  const ResultsList::Entry* entry = list_.entryAt(index.row());
  if (entry == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return toQString(entry->text());
    case WordRole:
      return toQString(entry->word());
    case RestRole:
      return toQString(entry->rest());
    case ShadeRole:
      return rarityShade(entry->score());
    case Qt::ToolTipRole: {
      if (meaningMatches_) {
        if (const auto words = meaningMatches_(entry->word())) return toQString(meaningTip(entry->score(), *words));
      }
      const std::string tip = commonnessTip(entry->score());
      return tip.empty() ? QVariant() : QVariant(toQString(tip));
    }
    default:
      return {};
  }
}

void ResultsModel::sync() {
  for (const ResultsList::RowBlock& block : list_.takeInsertions()) {
    beginInsertRows(QModelIndex(), block.first, block.first + block.count - 1);
    shown_ += block.count;
    endInsertRows();
  }
}

void ResultsModel::aboutToClear() { beginResetModel(); }

void ResultsModel::cleared() {
  shown_ = 0;
  endResetModel();
}

}  // namespace kea::ui
