// Removes the identity of every client on the data disk before it leaves
// the office: each client's Name and IDNumber are overwritten in place
// (nothing of them, not even their length, stays on the disk) and the record
// is marked deleted, while the answers, codes and dates stay usable. The
// station's work files that hold names go too, as do the recovery entries
// kept aside on the disk, and the answer sheets waiting in the scan table
// lose their inmate numbers.
#pragma once

#include "core/data/ClientRecord.h"

class QWidget;

namespace mw {

struct StationContext;

// After the secret code and a warning whose default is No, deletes the
// names of every client not deleted this way yet, saving each record as it
// goes; a name other installations flagged deleted is only shifted, letter
// by letter, and can be shifted back. A save that fails or is given up ends
// the run: the records before it are done, the later ones untouched, and
// "Process complete" is not shown.
void DeleteNames(StationContext& ctx, QWidget* parent);

}  // namespace mw
