// The sheet file as the "Answer Sheet File" screen shows it before anything
// is imported: the layout, the text's encoding and delimiter, what each
// column holds and the first sheet as it will be stored.
#pragma once

#include <string>

#include "core/data/ScannedSheets.h"

namespace mw {

// UTF-8, one line to a row.
std::string DescribeSheetFile(const SheetFile& file);

}  // namespace mw
