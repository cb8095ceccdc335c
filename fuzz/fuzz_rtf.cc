// Definition bodies come from dictionary files anyone can write: whatever
// rich text they hold must read in bounded time and memory, never produce
// more text than it was given, and give well-formed runs; the shown text's
// searches stay inside it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "definitions/DefinitionText.h"
#include "definitions/RichTextReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Half of the inputs go in as they are; the others behind the magic, so
  // the reader's paths are reached without the fuzzer having to find it.
  const std::string rtf = size > 0 && (data[0] & 1) ? "{\\rtf1 " + std::string(input.substr(1)) : std::string(input);
  const kea::StyledText text = kea::readDefinitionBody(rtf);
  std::size_t total = 0;
  for (std::size_t i = 0; i < text.runs.size(); ++i) {
    const auto& run = text.runs[i];
    if (run.text.empty()) std::abort();
    if (i > 0 && text.runs[i - 1].style == run.style) std::abort();
    if (run.style.hasColour && run.style.colour.value > 0xFFFFFF) std::abort();
    if (kea::isRichText(rtf)) {
      for (const char c : run.text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') std::abort();
      }
    }
    total += run.text.size();
  }
  if (total > rtf.size()) std::abort();
  const std::string plain = text.plainText();
  if (kea::definitionPlainText(rtf) != plain) std::abort();

  // The shown text is then searched for the looked-up word and for the word
  // under the caret; the input's first bytes serve as word and positions.
  const std::string_view word = input.substr(0, std::min<std::size_t>(input.size(), 12));
  for (const auto& span : kea::wordHighlights(plain, word)) {
    if (span.start < 0 || span.end > static_cast<int>(plain.size()) || span.empty()) std::abort();
  }
  const int a = size > 1 ? data[1] * 7 : 0, b = size > 2 ? data[2] * 11 : 0;
  const kea::FoundWord found = kea::findWord(plain, {a, b});
  if (found.word.size() + found.suffix.size() > plain.size()) std::abort();
  return 0;
}
