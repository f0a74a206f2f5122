// The report's pages and sheets as the station draws them: the core's page
// layout (core/report/PageLayout.h) over the report's text as a QString.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "core/report/PageLayout.h"

namespace mw {

// The report's pages: a new page at each form feed. Lines end at CR LF (or
// LF); the line end that closes a page belongs to it, so it adds no line.
std::vector<QStringList> SplitPages(const QString& text);

// The pages as printed sheets: each page starts a sheet, and a page longer
// than a sheet goes on over the next one rather than lose its last lines.
std::vector<QStringList> ToSheets(const std::vector<QStringList>& pages, int linesPerSheet);

}  // namespace mw
