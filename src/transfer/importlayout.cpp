#include "importlayout.h"

#include <array>

namespace natalis::transfer {

namespace {

struct LayoutTexts
{
    QStringView name;
    QStringView title;
    QStringView reading;
};

constexpr std::array<LayoutTexts, 7> Texts = { {
    { u"tab", u"从外部制表符分割的文本文件导入生日",
        u"对外部制表符分割的文本文件数据分析提取中,请稍候..." },
    { u"v31", u"从v3.1导出的生日文件导入生日", u"对v3.1导出的生日文件数据分析提取中,请稍候..." },
    { u"v30", u"从v3.0导出的生日文件导入生日",
        u"对v3.0导出的生日数据文件数据分析提取中,请稍候..." },
    { u"v20", u"从v2.0导出的生日文件导入生日",
        u"对v2.0导出的生日数据文件数据分析提取中,请稍候..." },
    { u"v10", u"从v1.0生日文件(birth.txt)导入生日",
        u"对v1.0生日文件(birth.txt)数据分析提取中,请稍候..." },
    { u"csv", u"从CSV文件(Excel/WPS)导入生日", u"对CSV文件数据分析提取中,请稍候..." },
    { u"vcf", u"从手机通讯录导入(*.vcf)", u"对手机通讯录名片数据分析提取中,请稍候..." },
} };

const LayoutTexts &textsOf(ImportLayout layout)
{
    return Texts[std::size_t(layout)];
}

} // namespace

bool hasRuleDependentDate(ImportLayout layout)
{
    return layout == ImportLayout::Tab || layout == ImportLayout::V31 || layout == ImportLayout::Csv
        || layout == ImportLayout::Vcf;
}

QString chooserTitle(ImportLayout layout)
{
    return textsOf(layout).title.toString();
}

QString readingText(ImportLayout layout)
{
    return textsOf(layout).reading.toString();
}

QString emptyFileText(ImportLayout layout, const QString &path)
{
    switch (layout) {
    case ImportLayout::Tab:
    case ImportLayout::V31:
    case ImportLayout::Csv:
    case ImportLayout::Vcf:
        return path + QStringLiteral("为空!");
    case ImportLayout::V30:
    case ImportLayout::V20:
        return path + QStringLiteral("文件为空!");
    case ImportLayout::V10:
        break;
    }
    return QStringLiteral("v1.0生日文件(birth.txt)为空!");
}

QString dateColumnHeader(ImportLayout layout)
{
    return hasRuleDependentDate(layout) ? QStringLiteral("公历/农历生日")
                                        : QStringLiteral("公历生日");
}

std::optional<ImportLayout> layoutFromName(QStringView name)
{
    for (std::size_t i = 0; i < Texts.size(); ++i) {
        if (Texts[i].name == name)
            return ImportLayout(i);
    }
    return std::nullopt;
}

QString layoutName(ImportLayout layout)
{
    return textsOf(layout).name.toString();
}

} // namespace natalis::transfer
