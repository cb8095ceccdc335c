// One dictionary's results list as a Qt item model. The core list holds the
// entries; this model only announces them: rows the list added are
// inserted in the blocks the list reports (sync), a cleared list resets the
// model, and data() reads the entry at a row.
//
// The list grows during a search without telling the model entry by entry;
// whoever runs the search calls sync() before the event loop runs again, so
// between two turns of the loop the model and the list always agree.
#pragma once

#include <QAbstractListModel>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ResultsList.h"

namespace kea::ui {

class ResultsModel : public QAbstractListModel, private ResultsList::Host {
  Q_OBJECT

 public:
  enum Role {
    WordRole = Qt::UserRole + 1,  // the entry's word
    RestRole,                     // its annotation and balance text
    ShadeRole,                    // how far its text fades (double, 0 … 1): rarer entries are quieter
  };

  // The list must outlive the model.
  explicit ResultsModel(ResultsList& list, QObject* parent = nullptr);
  ~ResultsModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Announces the rows the list added since the last call.
  void sync();

  ResultsList& list() { return list_; }

  // Which words of the meaning an entry matched, when the list's last
  // search ranked by meaning (else null): the tool tips then say why an
  // entry ranked where it did.
  using MeaningMatches = std::function<std::optional<std::vector<std::string>>(std::string_view word)>;
  void setMeaningMatches(MeaningMatches matches) { meaningMatches_ = std::move(matches); }

 private:
  void aboutToClear() override;
  void cleared() override;
  void refreshed() override { sync(); }

  ResultsList& list_;
  MeaningMatches meaningMatches_;
  // The rows announced so far.
  int shown_ = 0;
};

}  // namespace kea::ui
