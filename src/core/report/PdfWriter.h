// The report as a PDF document, laid out sheet by sheet as the station
// prints it (core/report/PageLayout.h): the standard Courier font at the
// report's size, its fixed line pitch and margins. The text stays text: the
// font's Windows encoding is the report's own, so the PDF's words can be
// searched and extracted.
#pragma once

#include <string>
#include <string_view>

#include "core/report/PageLayout.h"

namespace mw {

// The PDF's bytes for the report's Windows-1252 text.
std::string ReportPdfBytes(std::string_view report, const Paper& paper);

}  // namespace mw
