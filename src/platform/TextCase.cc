#include "platform/TextCase.h"

#include "platform/Cp1252.h"

namespace kea::platform {

unsigned char toLowerCp1252(unsigned char byte) {
  if (!isCharUpper(byte)) return byte;
  switch (byte) {
    case 0x8A: return 0x9A;  // S with caron
    case 0x8C: return 0x9C;  // OE ligature
    case 0x8E: return 0x9E;  // Z with caron
    case 0x9F: return 0xFF;  // Y with diaeresis
    default: return static_cast<unsigned char>(byte + 0x20);  // A-Z and the Latin-1 capitals
  }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (toLowerCp1252(static_cast<unsigned char>(a[i])) != toLowerCp1252(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace kea::platform
