// The report as a PDF document, laid out sheet by sheet as the station
// prints it (core/report/PageLayout.h): a page of the report to a sheet, in
// a fixed-pitch font embedded in the file, so that the document reads the
// same wherever and whenever it is opened. The text stays text: the font's
// Windows encoding is the report's own, so the PDF's words can be searched
// and extracted.
#pragma once

#include <string>
#include <string_view>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/report/PageLayout.h"
#include "core/report/TrueTypeFont.h"

namespace mw {

// A free fixed-pitch font that Debian ships (package fonts-liberation), with
// the columns of the common typewriter faces.
inline constexpr const char* kPdfFontFile =
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

// The PDF's bytes for the report's Windows-1252 text.
std::string ReportPdfBytes(std::string_view report, const Paper& paper, const TrueTypeFont& font);

// The report's PDF, in the font the station embeds.
Result<std::string> ReportPdf(FileSystem& fs, std::string_view report, const Paper& paper);

// Writes the report's PDF to `path` whole (not synced: it can be made
// again), or leaves the path as it was.
Status WriteReportPdf(FileSystem& fs, const std::string& path, std::string_view report,
                      const Paper& paper);

}  // namespace mw
