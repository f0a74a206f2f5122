// Conversion between UTF-8 (the terminal, the question database, Qt) and the
// Windows-1252 bytes of the record file and the instrument's text files.
#pragma once

#include <string>
#include <string_view>

namespace mw {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?', as Windows' own
// ANSI conversion makes them.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace mw
