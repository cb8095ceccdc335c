// The windows of the companion programs: kkbuild's "KEA&Kindred Dictionary
// Builder" and kkmerge's "KEA&Kindred Word List Merge". Both collect a
// job's settings, run it on a worker thread with a progress bar fed by the
// builder's progress texts, and let Cancel abandon it with the target left
// as it was. The work itself is the core's (builder/CompanionJobs.h).
#pragma once

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "builder/CompanionJobs.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace kea {
class SettingsStore;
}

namespace kea::ui {

class HelpWindow;

// Whether a window can be shown: a display, or a platform chosen by name.
bool hasDisplay();
// Run the program's window and event loop; the exit status of the program.
int runBuilderWindow(int& argc, char** argv);
int runMergeWindow(int& argc, char** argv);

// What both windows share: the list of input files, the target, the
// progress bar and the Build/Merge, Cancel, Close and Help buttons.
class CompanionWindow : public QMainWindow {
  Q_OBJECT

 public:
  ~CompanionWindow() override;

  QListWidget* inputList() const { return inputs_; }
  QLineEdit* targetEdit() const { return target_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }
  QLabel* progressText() const { return progressText_; }
  bool isRunning() const { return worker_.joinable(); }
  // The last job's result.
  const JobResult& lastResult() const { return lastResult_; }

 signals:
  // A job ended (after its result is shown).
  void jobFinished(bool ok);

 protected:
  CompanionWindow(const QString& title, const QString& startText, const QString& helpPage, QWidget* parent);

  // Adds a labelled row to the settings form (between inputs and target).
  void addSettingsRow(const QString& label, QWidget* field, QWidget* buddy = nullptr);
  // Subclasses: the job of the current settings, run on the worker thread.
  virtual std::function<JobResult(const JobProgress&)> makeJob() = 0;
  // Subclasses: the file dialogs' details.
  virtual QString inputFilter() const = 0;
  virtual QString targetFilter() const = 0;
  virtual QString failureCaption() const = 0;
  // The settings are complete enough to start.
  virtual bool canStart() const;
  void updateButtons();

  void closeEvent(QCloseEvent* event) override;
  // Files dropped on the window join the inputs.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void addInputs();
  void removeInputs();
  void chooseTarget();
  void start();
  void cancelJob();
  void finish(const JobResult& result);
  void showHelp();

  QString helpPage_;
  QListWidget* inputs_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QFormLayout* form_ = nullptr;
  QLineEdit* target_ = nullptr;
  QPushButton* change_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* progressText_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* close_ = nullptr;
  QPushButton* help_ = nullptr;
  std::unique_ptr<SettingsStore> helpStore_;
  HelpWindow* helpWindow_ = nullptr;

  std::thread worker_;
  std::atomic<bool> cancelled_{false};
  JobProgress jobProgress_;
  JobResult lastResult_;
};

// kkbuild's window.
class BuilderWindow : public CompanionWindow {
  Q_OBJECT

 public:
  explicit BuilderWindow(QWidget* parent = nullptr);

  QLineEdit* alphabetEdit() const { return alphabet_; }
  QLineEdit* descriptionEdit() const { return description_; }
  QSpinBox* shortestBox() const { return shortest_; }
  QSpinBox* longestBox() const { return longest_; }

 protected:
  std::function<JobResult(const JobProgress&)> makeJob() override;
  QString inputFilter() const override;
  QString targetFilter() const override;
  QString failureCaption() const override;

 private:
  void chooseAlphabet();

  QLineEdit* alphabet_ = nullptr;
  QLineEdit* description_ = nullptr;
  QSpinBox* shortest_ = nullptr;
  QSpinBox* longest_ = nullptr;
};

// kkmerge's window.
class MergeWindow : public CompanionWindow {
  Q_OBJECT

 public:
  explicit MergeWindow(QWidget* parent = nullptr);

  QCheckBox* foldBox() const { return fold_; }
  QLineEdit* descriptionEdit() const { return description_; }

 protected:
  std::function<JobResult(const JobProgress&)> makeJob() override;
  QString inputFilter() const override;
  QString targetFilter() const override;
  QString failureCaption() const override;

 private:
  QCheckBox* fold_ = nullptr;
  QLineEdit* description_ = nullptr;
};

}  // namespace kea::ui
