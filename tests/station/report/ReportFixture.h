// A station whose program folder holds the instrument's data files, so that
// reports can be made, and whose printer records each job instead of printing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "station/report/ReportPrinter.h"
#include "support/StationFixture.h"

namespace mwtest {

class FakePrinter : public mw::ReportPrinter {
public:
    // The print queues set up and the default one; empty: none.
    QStringList printers{QStringLiteral("Office")};
    QString defaultPrinter = QStringLiteral("Office");
    // What the choice of a printer answers with (empty: the user cancelled),
    // and the printers each choice offered.
    QString chosenPrinter;
    std::vector<QStringList> choicesOffered;
    // Every job fails with this when set; a raw one is refused when `refuses`.
    std::optional<mw::Error> failure;
    bool refuses = false;
    // What the PDF file and folder dialogs answer with; empty: the user cancelled.
    QString pdfPath, pdfFolder;
    std::vector<QString> pdfPathsSuggested, foldersSuggested;
    // Runs during each job, while the station waits for it.
    std::function<void()> whilePrinting;

    std::vector<QString> jobs;
    std::vector<std::string> rawJobs;
    // The printer of each job, in order.
    std::vector<QString> jobPrinters;

    void Unplug() {
        printers.clear();
        defaultPrinter.clear();
    }

    QStringList Printers() override { return printers; }
    QString DefaultPrinter() override { return defaultPrinter; }
    QString ChoosePrinter(QWidget*, const QStringList& offered) override {
        choicesOffered.push_back(offered);
        return chosenPrinter;
    }
    mw::Status Print(const QString& printer, const QString& report, const QString&) override {
        return Job(printer, [&] { jobs.push_back(report); });
    }
    mw::JobEnd PrintRaw(const QString& printer, const std::string& bytes, const QString&,
                        QWidget*) override {
        mw::Status status = Job(printer, [&] { rawJobs.push_back(bytes); });
        return {status, !status && refuses};
    }
    QString AskPdfPath(QWidget*, const QString& suggested) override {
        pdfPathsSuggested.push_back(suggested);
        return pdfPath;
    }
    QString AskPdfFolder(QWidget*, const QString& suggested) override {
        foldersSuggested.push_back(suggested);
        return pdfFolder;
    }
    void Preview(QWidget*, const QString&) override {}

private:
    mw::Status Job(const QString& printer, const std::function<void()>& record) {
        if (whilePrinting) whilePrinting();
        if (failure) return *failure;
        record();
        jobPrinters.push_back(printer);
        return {};
    }
};

class ReportFixture : public StationFixture {
protected:
    void SetUp() override {
        CopyDataSet(programDir.Path(), true);
        ctx.printer = &printer;
    }

    // The name in the page header of each printed job, in order.
    std::vector<QString> PrintedNames() const {
        std::vector<QString> names;
        for (const QString& job : printer.jobs) {
            names.push_back(
                job.section(QStringLiteral("NAME: "), 1).section(QLatin1Char('\r'), 0, 0));
        }
        return names;
    }

    FakePrinter printer;
};

}  // namespace mwtest
