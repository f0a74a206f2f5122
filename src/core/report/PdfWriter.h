// The report as a PDF document, laid out sheet by sheet as the station
// prints it (core/report/PageLayout.h): a page of the report to a sheet, in
// a fixed-pitch font embedded in the file, so that the document reads the
// same wherever and whenever it is opened. The text stays text: the font's
// Windows encoding is the report's own, and a map from it to Unicode goes
// with the font, so the PDF's words can be searched, copied and extracted.
//
// The file is made to be archived as PDF/A-1b (ISO 19005-1, level B): it
// carries the part of the font it draws with, the colour profile its black
// is printed by, and its title, maker and date both in its information
// dictionary and as XMP metadata identifying it as PDF/A-1b. Made twice at
// the same time from the same report, it is the same file byte for byte.
#pragma once

#include <string>
#include <string_view>

#include "core/data/Clock.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/report/PageLayout.h"
#include "core/report/TrueTypeFont.h"

namespace mw {

// A free fixed-pitch font that Debian ships (package fonts-liberation), with
// the columns of the common typewriter faces.
inline constexpr const char* kPdfFontFile =
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf";

// The PDF's bytes for the report's Windows-1252 text, made at `created`.
std::string ReportPdfBytes(std::string_view report, const Paper& paper, const TrueTypeFont& font,
                           const DateTime& created);

// The report's PDF, in the font the station embeds.
Result<std::string> ReportPdf(FileSystem& fs, std::string_view report, const Paper& paper,
                              const DateTime& created);

// Writes the report's PDF to `path` whole (not synced: it can be made
// again), or leaves the path as it was.
Status WriteReportPdf(FileSystem& fs, const std::string& path, std::string_view report,
                      const Paper& paper, const DateTime& created);

}  // namespace mw
