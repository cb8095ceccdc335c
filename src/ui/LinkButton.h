// A button that looks like a link: its text in the link colour, underlined
// while the mouse is over it, with a pointing hand. It is still a button to
// the keyboard: Tab reaches it, its focus frame shows, and Space, Return or
// Enter click it. The text is shown as it is; an "&" in it is no mnemonic.
//
// Themes do not all set a link colour that reads on their window colour (a
// dark theme may keep Qt's default dark blue), so the colour falls back to
// the highlight colour and then to the text colour when it is too faint.
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace kea::ui {

class LinkButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit LinkButton(const QString& text, QWidget* parent = nullptr);

  // The text as shown.
  const QString& linkText() const { return text_; }
  // The colour the text is drawn in with the current palette.
  QColor linkColour() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QString text_;
};

}  // namespace kea::ui
