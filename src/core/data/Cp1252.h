// Conversion between UTF-8 (the terminal, the question database, Qt) and the
// Windows-1252 bytes of the record file and the instrument's text files.
#pragma once

#include <string>
#include <string_view>

namespace mw {

// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) read as U+FFFD: passed on as C1 controls they would act on a
// terminal (0x9D starts an operating system command) or vanish on the screen.
std::string Cp1252ToUtf8(std::string_view bytes);
// The character of one byte; 0 for the five the code page leaves undefined.
char32_t Cp1252CodePoint(unsigned char byte);
// Characters that Windows-1252 cannot hold become '?', as Windows' own
// ANSI conversion makes them.
std::string Utf8ToCp1252(std::string_view utf8);
// As above for text shown from the bytes `shown` and edited since: each
// U+FFFD takes back, in turn, the undefined bytes of `shown`, so that a field
// saved again keeps the bytes it held.
std::string Utf8ToCp1252(std::string_view utf8, std::string_view shown);

}  // namespace mw
