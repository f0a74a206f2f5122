// "Scan Answer Sheet" of the entry-method screen: a batch of answer sheets
// that an optical mark reader has read, from the batch settings to the
// clients on the data disk.
//
// Sheets an earlier batch left in the scan table are offered first; the
// table is emptied only when the operator chooses not to review them and
// confirms it, and Cancel leaves the route with them kept. After
// "Information &OK" the operator picks the reader's sheet file and sees how
// it is read; its sheets go into the scan table, except those already on the
// data disk or already waiting, and the first of them, up to the batch size,
// each become a new client: named as the settings say, confirmed on the
// client information screen when the batch is reviewed, and corrected on the
// answer grid where an item had several marks or one it has no answer for.
// A sheet with the inmate number of a client whose answers differ is stored
// only when the operator says so. A client leaves the scan table once it is
// on the data disk. A full disk, a review cancelled or a disk step given up
// stop at that sheet; what is not stored stays in the scan table for the
// next batch. The batch ends with a summary that names the sheets skipped and
// those stored with items whose marks were not read.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace mw {

struct StationContext;

// What the route asks of the world outside the station's state.
struct ScanRouteServices {
    // The sheet file to import, offered in `folder`; empty when none was chosen.
    std::function<QString(QWidget* parent, const QString& folder)> chooseSheetFile;
    // Prints the reports of the clients with these record numbers.
    std::function<void(const std::vector<int>& records)> printReports;
};

// The file dialog and the station's report printing, over `parent`.
ScanRouteServices StationScanServices(StationContext& ctx, QWidget* parent);

void ScanAnswerSheets(StationContext& ctx, QWidget* parent, const ScanRouteServices& services);

}  // namespace mw
