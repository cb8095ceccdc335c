// The plain text of a definition, from which the builder takes the words of
// the full-text index. Rich text (beginning with "{\rtf1") loses its control
// words and braces; a few control words that stand for visible breaks or
// dashes become spaces, so they still part the words on either side.
#pragma once

#include <string>
#include <string_view>

namespace kea {

// Replaces `out` with the plain text of `definition`.
void reduceToPlainText(std::string_view definition, std::string& out);

}  // namespace kea
