#pragma once

namespace natalis::app {

struct AppContext;
class ReminderLoop;

// Gives the loop the days and the items' states it remembered in the database and lets it store
// every change, so that a restart neither repeats nor loses a reminder nor forgets a snooze.
// Nothing without a connection.
void connectReminderMemory(ReminderLoop &loop, AppContext &context);

} // namespace natalis::app
