#include "station/report/ReportLayout.h"

namespace mw {

std::vector<QStringList> SplitPages(const QString& text) {
    std::vector<QStringList> pages;
    for (const PageLines& page : SplitPages(text.toStdString())) {
        QStringList& lines = pages.emplace_back();
        for (const std::string& line : page) lines.append(QString::fromStdString(line));
    }
    return pages;
}

std::vector<QStringList> ToSheets(const std::vector<QStringList>& pages, int linesPerSheet) {
    return PagesToSheets(pages, linesPerSheet);
}

}  // namespace mw
