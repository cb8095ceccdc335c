// The search window's progress bar: a frame split into one segment per word
// length the pattern can match, each as wide as its share of the words and
// labelled with its length where the label fits, with the part searched so
// far filled in the highlight colour. It draws the core's SearchProgress at
// its own width and repaints only when the filled width moves.
#pragma once

#include <QWidget>
#include <cstdint>

namespace kea {
class SearchProgress;
}

namespace kea::ui {

class ProgressBarWidget : public QWidget {
  Q_OBJECT

 public:
  ProgressBarWidget(const SearchProgress& model, QWidget* parent = nullptr);

  // The model changed; repaints when that shows.
  void modelChanged();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // What the bar shows: the fill and the lengths it is split into.
  struct Shown {
    int filled = -1;
    std::int64_t total = 0;
    int dictionary = -1;
    int firstLength = 0;
    int lastLength = 0;
    bool operator==(const Shown&) const = default;
  };
  int barWidth() const;
  Shown shown() const;

  const SearchProgress& model_;
  Shown shown_;
};

}  // namespace kea::ui
