// The user guide: the HTML pages of the program's help folder, with their
// titles listed on the left (the index page first, then the pages in the
// order the index links to them), the page on the right, Back, Forward and
// Home, and a box that narrows the list to the pages holding the words
// typed. Links between pages stay in the window; web and mail addresses go
// to the desktop's browser and mail program.
//
// Without the help folder, or asked for a page it does not hold, the
// window says "Help library not found" and stays closed. Its place is kept
// as "KEAHelpPosition".
#pragma once

#include <QMainWindow>
#include <QString>
#include <QUrl>
#include <vector>

#include "settings/SettingsStore.h"

class QAction;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace kea::ui {

class DialogPlacement;

class HelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `folder` holds the pages; empty stands for the program's own help folder.
  explicit HelpWindow(SettingsStore& store, const QString& folder = {}, QWidget* parent = nullptr);
  ~HelpWindow() override;

  // The folder of the program's help pages; empty when there is none.
  static QString programHelpFolder();
  // Whether the help folder exists.
  bool helpAvailable() const;
  const QString& folder() const { return folder_; }

  // Opens a page of the help folder, by its file name and optionally an
  // anchor ("patterns.html#anagrams"), and shows the window. When the folder
  // or the page is missing the user is told and the window is not opened.
  bool showPage(const QString& pageWithOptionalAnchor);
  // The index page.
  bool showContents();

  // The page shown, as a file URL with its anchor.
  QUrl currentPage() const;
  QTextBrowser* browser() const { return browser_; }
  QListWidget* contents() const { return contents_; }
  QLineEdit* searchBox() const { return search_; }

 protected:
  // Tells the user that the help cannot be shown.
  virtual void reportMissing();
  // Opens a web or mail address outside the window.
  virtual void openExternal(const QUrl& url);

 private:
  struct Page {
    QString file;   // the file name within the folder
    QString title;  // from its <title>, else its file name
    QString text;   // its words, for the search box
  };

  void loadContents();
  void followLink(const QUrl& url);
  void pageChanged(const QUrl& url);
  void filterContents(const QString& words);
  // The page's file inside the folder, or an empty text when it is not there.
  QString pagePath(const QString& file) const;
  // A page's path as a name within the folder.
  QString relativePath(const QString& path) const;

  QString folder_;
  std::vector<Page> pages_;
  bool contentsLoaded_ = false;
  QTextBrowser* browser_;
  QListWidget* contents_;
  QLineEdit* search_;
  QAction* back_;
  QAction* forward_;
  DialogPlacement* placement_;
};

}  // namespace kea::ui
