#include "ui/ResultsSaver.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "platform/Cp1252.h"
#include "platform/File.h"
#include "text/StringTable.h"
#include "ui/DictionarySaveDialog.h"
#include "ui/FileDialogs.h"
#include "ui/MainView.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "workspace/DialogTexts.h"
#include "workspace/HelpTopics.h"

namespace kea::ui {

void ResultsSaver::saveResults() {
  const int group = frame_.workspace().activeDictionary();
  const SearchController& controller = frame_.view().controller();
  if (group < 0 || group >= controller.groupCount() || controller.state() == SearchState::Searching) return;
  const std::optional<Choice> choice = chooseFile();
  if (!choice) return;
  if (choice->form == ResultsFileForm::Dictionary) {
    saveDictionary(group, choice->path);
  } else {
    saveText(group, choice->path);
  }
  frame_.updateCommands();
}

std::optional<ResultsSaver::Choice> ResultsSaver::chooseFile() {
  const QStringList filters = fileDialogFilter(texts::kSaveResultsFilter).split(QStringLiteral(";;"));
  for (;;) {
    QFileDialog dialog(&frame_, toQString(texts::kSaveResultsTitle));
    dialog.setObjectName(QStringLiteral("SaveResultsDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The replace question is ours, asked once the extension is known.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(static_cast<int>(form_) - 1));
    if (name_.empty() || folder_.isEmpty()) {
      dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    } else {
      dialog.setDirectory(folder_);
    }
    if (!name_.empty()) dialog.selectFile(toQString(name_));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QString file = QDir::toNativeSeparators(acceptedFile(dialog));
    if (file.isEmpty()) return std::nullopt;
    const ResultsFileForm form = resultsFileFormForFilter(filters.indexOf(dialog.selectedNameFilter()) + 1);
    platform::CodecError error;
    const std::optional<std::string> chosen = fromQString(file, &error);
    if (!chosen) {
      QMessageBox::warning(&frame_, toQString(texts::kSaveAsCaption),
                           toQString(dialogs::unusableFileNameCharacter(error.codePoint)));
      continue;
    }
    const std::string path = withResultsExtension(*chosen, form);
    form_ = form;
    name_ = rememberedResultsName(path);
    folder_ = QFileInfo(file).absolutePath();
    if (QFileInfo::exists(toQString(path))) {
      const std::string question = path + std::string(loadString(strings::kAlreadyExists));
      if (frame_.messageBox(question, texts::kSaveAsCaption, SearchHost::Buttons::YesNo,
                            SearchHost::Icon::Exclamation) != SearchHost::Answer::Yes) {
        continue;
      }
    }
    return Choice{path, form};
  }
}

void ResultsSaver::saveText(int group, const std::string& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string why;
  const bool saved = saveResultsAsText(frame_.view().controller().group(group).list, path, &why);
  QApplication::restoreOverrideCursor();
  if (!saved) {
    // The message, then why: the reason names the user's file or folder.
    const std::string reason = platform::utf8ToCp1252(why).value_or(why);
    frame_.messageBox(std::string(texts::kResultsNotSaved) + (reason.empty() ? "" : "\n\n" + reason),
                      texts::kTextFileSaveErrorCaption, SearchHost::Buttons::Ok, SearchHost::Icon::Exclamation);
  }
}

void ResultsSaver::saveDictionary(int group, const std::string& path) {
  SearchController& controller = frame_.view().controller();
  SearchController::OutputGroup& output = controller.group(group);
  // The lengths and pattern of the search that found the list, taken
  // before a paused search is abandoned and the plan made afresh.
  int shortest = output.plan.shortest;
  int longest = output.plan.longest;
  if (output.plan.empty()) {
    shortest = 1;
    longest = 100;
  }
  const std::string pattern = output.pattern;
  if (controller.state() == SearchState::Paused) controller.validate();

  const DictionaryList* dictionaries = frame_.workspace().dictionaries();
  if (dictionaries == nullptr || group >= dictionaries->count()) return;
  ResultsDictionarySaveDialog dialog(&frame_, frame_.store(), output.list, *dictionaries, group, path, pattern,
                                   shortest, longest);
  QObject::connect(&dialog, &DictionarySaveDialog::helpRequested, &frame_,
                   [this] { frame_.showHelp(kHelpSaveDictionaryDialog); });
  dialog.exec();
}

}  // namespace kea::ui
