// The on-screen route of a new client: client information, the language,
// the test itself, and then the station stays locked until a supervisor
// gives the secret code, so that the client never reaches the main menu or
// other clients' data.
#pragma once

class QString;
class QWidget;

namespace mw {

struct StationContext;
struct TestJournal;

// Runs the route over `screen`, the entry-method screen, whose choices are
// already hidden: it stays behind the route's windows, blank but for its
// status line, and covers the whole screen while the client is at it.
void AdministerTest(StationContext& ctx, QWidget* screen);

// The test in `language` for the current client, from "Press the Enter key
// to begin the test." to the secret code; `resumed`, when given, takes up
// the test the journal kept. False, with the reason shown, when the
// language's questions cannot be read (nothing was given then).
bool GiveTest(StationContext& ctx, QWidget* screen, const QString& language,
              const TestJournal* resumed);

}  // namespace mw
