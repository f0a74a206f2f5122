// Where a printed report goes: a printer of the system (its default one, or
// one the user picks), a PDF file, the print preview, or (for sites with a
// line printer) a print queue as raw text. The station uses SystemPrinter;
// a test puts its own ReportPrinter in StationContext::printer to record the
// jobs instead.
#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <chrono>
#include <string>

#include "core/data/Error.h"
#include "core/report/PageLayout.h"

class QPagedPaintDevice;
class QWidget;

namespace mw {

// How a raw job ended. A refused job was never taken by a queue (no print
// command, no such queue, a queue that takes no jobs): a PDF file may serve
// instead. Any other failure broke the job off on its way.
struct JobEnd {
    Status status;
    bool refused = false;
};

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;

    // The print queues set up on this computer, by name.
    virtual QStringList Printers() = 0;
    // The queue chosen as the default; empty when none is, though queues
    // may be set up.
    virtual QString DefaultPrinter() = 0;
    // Asks on which of `printers` to print; empty when the user cancelled.
    virtual QString ChoosePrinter(QWidget* parent, const QStringList& printers) = 0;
    // One job on `printer`: the report's text, a sheet for each page.
    virtual Status Print(const QString& printer, const QString& report, const QString& jobName) = 0;
    // The report file's bytes as they are, form feeds included, to the print
    // queue `printer`, as a line printer takes them. While the queue takes
    // its time the station stays responsive and a window over `parent` lets
    // the user stop waiting.
    virtual JobEnd PrintRaw(const QString& printer, const std::string& bytes,
                            const QString& jobName, QWidget* parent) = 0;
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

    QStringList Printers() override;
    QString DefaultPrinter() override;
    QString ChoosePrinter(QWidget* parent, const QStringList& printers) override;
    Status Print(const QString& printer, const QString& report, const QString& jobName) override;
    JobEnd PrintRaw(const QString& printer, const std::string& bytes, const QString& jobName,
                    QWidget* parent) override;
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
