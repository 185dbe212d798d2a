#pragma once

// The servers every server-backed sync test runs against, for a value-parameterised suite:
// INSTANTIATE_TEST_SUITE_P(Servers, Suite, test::EveryDavServer, test::ServerName()).

#include "support/radicaleprocess.h"
#include "support/xandikosprocess.h"

#include <gtest/gtest.h>
#include <memory>

namespace natalis::test {

enum class DavServer { Radicale, Xandikos };

inline const auto EveryDavServer = testing::Values(DavServer::Radicale, DavServer::Xandikos);

struct ServerName
{
    std::string operator()(const testing::TestParamInfo<DavServer> &info) const
    {
        return info.param == DavServer::Radicale ? "Radicale" : "Xandikos";
    }
};

inline void PrintTo(DavServer kind, std::ostream *out)
{
    *out << ServerName()({ kind, 0 });
}

inline std::unique_ptr<ServerProcess> startServer(DavServer kind)
{
    if (kind == DavServer::Radicale)
        return std::make_unique<RadicaleProcess>();
    return std::make_unique<XandikosProcess>();
}

} // namespace natalis::test
