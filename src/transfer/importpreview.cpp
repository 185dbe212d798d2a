#include "importpreview.h"

#include "store/categories.h"

#include <QSet>
#include <array>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// MyAboutHave's notion of "the same birthday": the same trimmed name in the list a category
// shows in (an unknown category shows in the first). A set per list, so that no key text is
// built per row; a name without blanks around it is shared, not copied.
class SeenNames
{
public:
    // True when the name was not yet seen in the category's list.
    bool add(const QString &category, const QString &name)
    {
        const int list = qMax(store::categoryIndex(QStringView(category).trimmed()), 0);
        QSet<QString> &names = m_lists[std::size_t(list)];
        const qsizetype before = names.size();
        names.insert(name.trimmed());
        return names.size() > before;
    }

private:
    std::array<QSet<QString>, store::CategoryNames.size()> m_lists;
};

} // namespace

ImportPreview BuildImportPreview(
    QList<ImportRecord> records, const QList<store::BirthdayRecord> &birthdays, int skippedLines)
{
    // A set instead of asking MyAboutHave per row: its scan of the whole list per row is
    // quadratic, and the second import of a large file would take minutes.
    SeenNames seen;
    for (const store::BirthdayRecord &birthday : birthdays)
        seen.add(birthday.Type, birthday.About);

    ImportPreview preview;
    preview.skippedLines = skippedLines;
    preview.rows.reserve(records.size());
    for (ImportRecord &record : records) {
        const bool ticked = seen.add(record.fields.Type, record.fields.About);
        preview.tickedCount += ticked ? 1 : 0;
        preview.rows.append({ std::move(record), ticked });
    }
    return preview;
}

ImportPreview BuildImportPreview(
    ImportReading reading, const QList<store::BirthdayRecord> &birthdays)
{
    ImportPreview preview =
        BuildImportPreview(std::move(reading.records), birthdays, reading.skippedLines);
    preview.notes = std::move(reading.notes);
    preview.notesLeftOut = reading.notesLeftOut;
    preview.encoding = reading.encoding;
    return preview;
}

QStringList reportLines(const ImportPreview &preview)
{
    QStringList lines;
    lines.reserve(preview.notes.size() + 1);
    for (const LineNote &note : preview.notes)
        lines << lineNoteText(note);
    if (preview.notesLeftOut > 0)
        lines << u"另有"_s + QString::number(preview.notesLeftOut) + u"条说明没有列出"_s;
    return lines;
}

QStringList previewHeaders(ImportLayout layout)
{
    return { u"生日名称"_s, u"生日类别"_s, u"联系方式"_s, u"生日备注"_s, dateColumnHeader(layout),
        u"提醒方式"_s, u"提醒天数"_s, u"短信提醒"_s, u"性别"_s, u"部门/类型"_s, u"QQ/MSN"_s,
        u"公司名称"_s, u"地址"_s, u"工号/卡号"_s };
}

QStringList previewCells(const ImportRecord &record)
{
    QStringList cells;
    for (int column = 0; column < PreviewColumns; ++column)
        cells << previewCell(record, column);
    return cells;
}

QString previewCell(const ImportRecord &record, int column)
{
    const store::BirthdayRecord &r = record.fields;
    switch (column) {
    case 0:
        return r.About;
    case 1:
        return r.Type;
    case 2:
        return r.Tel;
    case 3:
        return r.Beizhu;
    case 4:
        return record.date;
    case 5:
        return r.blnIsGL;
    case 6:
        return QString::number(r.intNums);
    case 7:
        return r.Duanxin;
    case 8:
        return r.Sex;
    case 9:
        return r.Class;
    case 10:
        return r.QQ_MSN;
    case 11:
        return r.Company;
    case 12:
        return r.Address;
    case 13:
        return r.No;
    default:
        return QString();
    }
}

QString previewSummaryText(const ImportPreview &preview)
{
    return u"从外部文件分析提取的生日记录列表如下(共"_s + QString::number(preview.rows.size())
        + u",其中"_s + QString::number(preview.tickedCount) + u"有效)"_s;
}

QString reportSummaryText(const ImportPreview &preview)
{
    const qsizetype notes = preview.notes.size() + preview.notesLeftOut;
    if (notes == 0)
        return QString();
    QString text = u"导入说明共"_s + QString::number(notes) + u"条"_s;
    if (preview.skippedLines > 0)
        text += u",其中"_s + QString::number(preview.skippedLines) + u"行无法识别或过长,已跳过"_s;
    return text;
}

} // namespace natalis::transfer
