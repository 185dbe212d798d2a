#pragma once

#include <QByteArray>

namespace natalis::bench {

// The short mode of CI (--benchmark_min_time below 0.1 s): a benchmark against a real server
// then takes a tenth of its size, so that the run finishes on a busy machine.
inline bool shortMode(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--benchmark_min_time="))
            return arg.mid(21).toDouble() < 0.1;
    }
    return false;
}

} // namespace natalis::bench
