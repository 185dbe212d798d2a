#pragma once

namespace natalis::reminder {
class ReminderLoop;
} // namespace natalis::reminder

namespace natalis::session {

struct AppContext;

// Gives the loop the days and the items' states it remembered in the database and lets it store
// every change, so that a restart neither repeats nor loses a reminder nor forgets a snooze.
// Nothing without a connection.
void connectReminderMemory(reminder::ReminderLoop &loop, AppContext &context);

} // namespace natalis::session
