#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace natalis::test {

// Sets or removes (nullopt) environment variables for one test and puts every one back as it was
// when the object goes, so that a failing test cannot leave its environment to the next.
class ScopedEnvironment
{
public:
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            put(it->first, it->second);
    }

    void set(const char *name, const std::optional<QByteArray> &value)
    {
        m_saved.emplace_back(
            name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        put(name, value);
    }

private:
    static void put(const char *name, const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

    std::vector<std::pair<const char *, std::optional<QByteArray>>> m_saved;
};

} // namespace natalis::test
