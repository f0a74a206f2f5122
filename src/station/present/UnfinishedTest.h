// A test the station stopped in the middle of (closed, power lost, crashed)
// is settled at the next start, before the main menu: once the secret code
// is given, the supervisor resumes it at the item where it stopped or
// discards it.
#pragma once

class QWidget;

namespace mw {

struct StationContext;

// Called once the data disk is loaded; does nothing when no test was left
// unfinished, and only removes the journal of a test whose client the data
// disk already holds (the station stopped just after storing it). False
// when the station has to end with the journal kept for a later start (the
// secret code was not given, or the test belongs to another data disk): a
// new test would otherwise write over it.
bool SettleUnfinishedTest(StationContext& ctx, QWidget* parent);

}  // namespace mw
