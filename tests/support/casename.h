#pragma once

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace natalis::test {

// A GoogleTest name for a table row, from the row's "situation" text.
inline std::string caseName(std::string_view situation)
{
    std::string name(situation);
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

// Names the instances of a parameterised test after their rows' `situation` member.
struct BySituation
{
    template<typename Param>
    std::string operator()(const testing::TestParamInfo<Param> &info) const
    {
        return caseName(info.param.situation);
    }
};

} // namespace natalis::test
