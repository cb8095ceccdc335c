// Definition bodies come from dictionary files anyone can write: whatever
// rich text they hold must read in bounded time and memory, never produce
// more text than it was given, and give well-formed runs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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
  if (kea::definitionPlainText(rtf) != text.plainText()) std::abort();
  return 0;
}
