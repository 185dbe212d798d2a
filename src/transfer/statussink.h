#pragma once

#include <QString>
#include <functional>

namespace natalis::transfer {

// Receives each status-bar text of a long operation as it changes; may be empty when nobody
// watches, and then no text is built.
using StatusSink = std::function<void(const QString &text)>;

} // namespace natalis::transfer
