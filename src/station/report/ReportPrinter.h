// Where a printed report goes: the system's default printer, a PDF file, the
// print preview, or (for sites with a line printer) the default print queue
// as raw text. The station uses SystemPrinter; a test puts its own
// ReportPrinter in StationContext::printer to record the jobs instead.
#pragma once

#include <QPageSize>
#include <QString>
#include <chrono>
#include <string>

#include "core/data/Error.h"
#include "core/report/PageLayout.h"

class QPagedPaintDevice;
class QWidget;

namespace mw {

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;

    // Whether a default printer is set up. Without one a print job would
    // silently become a PDF with no file name and print nothing.
    virtual bool HasDefaultPrinter() = 0;
    // One job on the default printer: the report's text, a sheet for each page.
    virtual Status Print(const QString& report, const QString& jobName) = 0;
    // The report file's bytes as they are, form feeds included, to the
    // default print queue, as a line printer takes them. While the queue
    // takes its time the station stays responsive and a window over
    // `parent` lets the user stop waiting.
    virtual Status PrintRaw(const std::string& bytes, const QString& jobName, QWidget* parent) = 0;
    // Asks where to save a PDF; empty when the user cancelled.
    virtual QString AskPdfPath(QWidget* parent, const QString& suggested) = 0;
    // Asks for the folder of a batch of PDF files; empty when the user cancelled.
    virtual QString AskPdfFolder(QWidget* parent, const QString& suggested) = 0;
    // Shows the report's sheets as they would print, until the user closes them.
    virtual void Preview(QWidget* parent, const QString& report) = 0;
};

class SystemPrinter final : public ReportPrinter {
public:
    // A raw job goes to `rawCommand` (the print system's lp, which takes the
    // job on its standard input), which has `rawWait` to take it.
    explicit SystemPrinter(QString rawCommand = QStringLiteral("lp"),
                           std::chrono::milliseconds rawWait = std::chrono::seconds(60));

    bool HasDefaultPrinter() override;
    Status Print(const QString& report, const QString& jobName) override;
    Status PrintRaw(const std::string& bytes, const QString& jobName, QWidget* parent) override;
    QString AskPdfPath(QWidget* parent, const QString& suggested) override;
    QString AskPdfFolder(QWidget* parent, const QString& suggested) override;
    void Preview(QWidget* parent, const QString& report) override;

private:
    QString rawCommand_;
    std::chrono::milliseconds rawWait_;
};

// Draws the report onto `device`, a sheet per page, in the fixed-pitch font
// as the page layout places it. The device's pages must have no margins of
// their own.
Status RenderReport(QPagedPaintDevice& device, const QString& report);

QPageSize PageSizeOf(const Paper& paper);

}  // namespace mw
