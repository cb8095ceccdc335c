// "Save Results from * &As...": the save dialog loop and the two forms a
// results list is saved in, a UTF-8 text file or a dictionary of its own
// (through ResultsDictionarySaveDialog). The name last chosen is offered
// again for as long as the program runs.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "search/ResultsFile.h"

namespace kea::ui {

class MainWindow;

class ResultsSaver {
 public:
  explicit ResultsSaver(MainWindow& frame) : frame_(frame) {}

  // The command, on the active list.
  void saveResults();

  // What the dialog offers next: the base name of the last file chosen,
  // and the form of the filter chosen with it.
  const std::string& rememberedName() const { return name_; }
  ResultsFileForm rememberedForm() const { return form_; }

 private:
  struct Choice {
    std::string path;  // library text
    ResultsFileForm form;
  };
  // The file to save to, asked until the user names a new file, agrees to
  // replace one, or cancels (nothing).
  std::optional<Choice> chooseFile();
  void saveText(int group, const std::string& path);
  void saveDictionary(int group, const std::string& path);

  MainWindow& frame_;
  std::string name_;
  ResultsFileForm form_ = ResultsFileForm::Text;
  QString folder_;
};

}  // namespace kea::ui
