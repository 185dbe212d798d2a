#include "app/clock.h"

#include <QRegularExpression>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace natalis::app {

QDateTime parseNow(const QString &text)
{
    static const QRegularExpression form(u"^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}$"_s);
    if (!form.match(text).hasMatch())
        return {};
    return QDateTime::fromString(text, u"yyyy-MM-ddTHH:mm"_s);
}

std::unique_ptr<Clock> clockFromEnvironment()
{
    const QString value = qEnvironmentVariable("NATALIS_NOW");
    if (!value.isEmpty()) {
        const QDateTime now = parseNow(value);
        if (now.isValid())
            return std::make_unique<FixedClock>(now);
        std::fprintf(stderr, "natalis: NATALIS_NOW=%s is not YYYY-MM-DDTHH:MM, ignored\n",
            qPrintable(value));
    }
    return std::make_unique<SystemClock>();
}

} // namespace natalis::app
