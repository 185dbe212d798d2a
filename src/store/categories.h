#pragma once

#include <QStringView>
#include <array>

namespace natalis::store {

// The eight categories in index order. A birthday stores the name; the index picks the main
// window's tab and the per-category SMS settings.
inline constexpr std::array<QStringView, 8> CategoryNames = {
    u"同事",
    u"客户",
    u"代理商",
    u"供应商",
    u"家人",
    u"同学",
    u"朋友",
    u"其他",
};

// Index 0..7 of name in CategoryNames (exact, case-sensitive), or -1 when it is none of them.
inline int categoryIndex(QStringView name)
{
    for (int i = 0; i < int(CategoryNames.size()); ++i) {
        if (CategoryNames[i] == name)
            return i;
    }
    return -1;
}

} // namespace natalis::store
