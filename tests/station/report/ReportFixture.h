// A station whose program folder holds the instrument's data files, so that
// reports can be made, and whose printer records each job instead of printing.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "station/report/ReportPrinter.h"
#include "support/StationFixture.h"

namespace mwtest {

class FakePrinter : public mw::ReportPrinter {
public:
    bool hasPrinter = true;
    // Every job fails with this when set.
    std::optional<mw::Error> failure;
    // What the PDF file and folder dialogs answer with; empty: the user cancelled.
    QString pdfPath, pdfFolder;
    std::vector<QString> foldersSuggested;
    // Runs during each job, while the station waits for it.
    std::function<void()> whilePrinting;

    std::vector<QString> jobs;
    std::vector<std::string> rawJobs;

    bool HasDefaultPrinter() override { return hasPrinter; }
    mw::Status Print(const QString& report, const QString&) override {
        return Job([&] { jobs.push_back(report); });
    }
    mw::Status PrintRaw(const std::string& bytes, const QString&, QWidget*) override {
        return Job([&] { rawJobs.push_back(bytes); });
    }
    QString AskPdfPath(QWidget*, const QString&) override { return pdfPath; }
    QString AskPdfFolder(QWidget*, const QString& suggested) override {
        foldersSuggested.push_back(suggested);
        return pdfFolder;
    }
    void Preview(QWidget*, const QString&) override {}

private:
    mw::Status Job(const std::function<void()>& record) {
        if (whilePrinting) whilePrinting();
        if (failure) return *failure;
        record();
        return {};
    }
};

// The instrument's data files a report is made from, copied into `programDir`.
inline void CopyReportData(const std::string& programDir) {
    for (const auto& file : std::filesystem::directory_iterator(MW_PROGRAM_DIR)) {
        const std::string ext = file.path().extension().string();
        if (ext == ".TXT" || ext == ".txt") {
            std::ofstream(std::filesystem::path(programDir) / file.path().filename(),
                          std::ios::binary)
                << std::ifstream(file.path(), std::ios::binary).rdbuf();
        }
    }
}

class ReportFixture : public StationFixture {
protected:
    void SetUp() override {
        CopyReportData(programDir.Path());
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
