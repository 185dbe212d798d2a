#pragma once

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace natalis::test {

// Names the instances of a parameterised test after their rows' `situation` member, every
// character GoogleTest refuses in a name made '_'.
struct BySituation
{
    template<typename Param>
    std::string operator()(const testing::TestParamInfo<Param> &info) const
    {
        std::string name(info.param.situation);
        for (char &c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    }
};

} // namespace natalis::test
