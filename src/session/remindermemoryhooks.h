#pragma once

namespace natalis::app {

struct AppContext;
class ReminderLoop;

// Gives the loop the days it remembered in the database and lets it store every new one, so
// that a restart neither repeats nor loses a time-of-day reminder. Nothing without a connection.
void connectReminderMemory(ReminderLoop &loop, AppContext &context);

} // namespace natalis::app
