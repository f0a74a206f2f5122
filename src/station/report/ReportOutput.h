// Reports in front of staff and on paper. A report is always scored afresh
// and written to REPORT.PRN in the program folder; these routines make it,
// read it for the screen, print it and save it as a PDF. REPORT.PRN and the
// copies of a batch hold a client's name: they are work files, overwritten
// and removed once the report is printed or closed.
#pragma once

#include <QString>
#include <vector>

#include "core/data/Error.h"

class QWidget;

namespace mw {

class ReportPrinter;
struct StationContext;

enum class PrintOutcome { Printed, SavedAsPdf, NotPrinted };

// The station's printer: the one a test gave the context, else the system's.
ReportPrinter& PrinterOf(StationContext& ctx);

// Scores the client at CurrentRecord and writes REPORT.PRN, with the
// one-page summary when `summary` is set. What goes wrong is shown; false
// when no report was written.
bool MakeReport(StationContext& ctx, bool summary);

// REPORT.PRN as text.
Result<QString> ReadReportText(StationContext& ctx);

// Prints REPORT.PRN as one job: on the default printer, or on one the user
// picks when none is the default, as raw text when "Print to DOS port" is
// on. Without a printer, or when the queue refuses the raw text, it says so
// and offers to save a PDF instead. Every failure is shown.
PrintOutcome PrintReportFile(StationContext& ctx, QWidget* parent);

// Saves REPORT.PRN as a PDF on the system's paper where the user chooses;
// true once saved.
bool SaveReportAsPdf(StationContext& ctx, QWidget* parent);

// The reports of these clients, in order, one print job each: all made
// first, then printed, and the work files removed afterwards. Without a
// printer, or once the queue refuses one, it asks once for a folder and saves
// them (those left) there as PDF files, one per client, named by the data
// disk and the client's number, then says how many went where. The number
// printed or saved.
int PrintReports(StationContext& ctx, QWidget* parent, const std::vector<int>& records,
                 bool summary);

// Overwrites and removes REPORT.PRN, the temporary a killed run of the
// command-line tool left beside it, and every copy of a batch ("temp" and a
// number), wherever a run left them. Failures are shown; true when none is left.
bool RemoveReportFiles(StationContext& ctx);

}  // namespace mw
