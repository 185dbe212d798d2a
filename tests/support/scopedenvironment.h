#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace natalis::test {

// Sets or removes environment variables for one test and puts every one back as it was when the
// object goes, so that a failing test cannot leave its environment to the next.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }

    // value nullopt removes the variable.
    void set(const char *name, std::optional<QByteArray> value)
    {
        m_saved.emplace_back(
            name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

private:
    std::vector<std::pair<const char *, std::optional<QByteArray>>> m_saved;
};

} // namespace natalis::test
