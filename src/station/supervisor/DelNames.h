// Removes the identity of every client on the data disk before it leaves
// the office: each client's Name and IDNumber are overwritten (nothing of
// them, not even their length, stays on the disk) and the record is marked
// deleted, while the answers, codes and dates stay usable.
#pragma once

namespace mw {

struct StationContext;

// What a deleted client's Name reads afterwards; the IDNumber is left blank.
inline constexpr const char* kDeletedName = "Name deleted";

// Asks first; then deletes the names of every client not marked deleted
// yet, saving each record as it goes. A save that fails or is given up ends
// the run: the records before it are done, the later ones untouched.
void DeleteNames(StationContext& ctx);

}  // namespace mw
