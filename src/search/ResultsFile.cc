#include "search/ResultsFile.h"

#include "builder/DictionarySave.h"
#include "platform/Cp1252.h"
#include "platform/File.h"
#include "platform/OutputTarget.h"

namespace kea {
namespace {

std::string_view lastComponent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

ResultsFileForm resultsFileFormForFilter(int filterIndex) {
  return filterIndex == static_cast<int>(ResultsFileForm::Dictionary) ? ResultsFileForm::Dictionary
                                                                       : ResultsFileForm::Text;
}

std::string withResultsExtension(std::string_view path, ResultsFileForm form) {
  std::string result(path);
  const std::string_view name = lastComponent(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) result += form == ResultsFileForm::Dictionary ? ".kkd" : ".txt";
  return result;
}

std::string rememberedResultsName(std::string_view path) {
  const std::string_view name = lastComponent(path);
  return std::string(name.substr(0, name.find('.')));
}

std::string resultsText(const ResultsList& list) {
  std::string text;
  for (int i = 0; i < list.count(); ++i) {
    text += platform::cp1252ToUtf8(list.textAt(i));
    text += '\n';
  }
  return text;
}

bool saveResultsAsText(const ResultsList& list, const std::string& path, std::string* detail) {
  // A file it replaces is kept, as a replaced dictionary is.
  return platform::writeWholeFile(platform::nativePath(path), resultsText(list), detail, texts::kBackupPrefix);
}

}  // namespace kea
