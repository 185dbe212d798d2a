#include "importpreview.h"

#include "store/categories.h"

#include <QSet>
#include <array>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// MyAboutHave's notion of "the same birthday": the same trimmed name in the list a category
// shows in (an unknown category shows in the first). A set of UTF-8 views per list, so that no
// key text is built per row: the views point into the records, which outlive the set.
class SeenNames
{
public:
    // True when the name was not yet seen in the category's list.
    bool add(QByteArrayView category, QByteArrayView name)
    {
        QSet<QByteArrayView> &names = m_lists[listOf(category)];
        const qsizetype before = names.size();
        names.insert(name);
        return names.size() > before;
    }

    // The same for a stored birthday, whose texts are kept here meanwhile.
    void addStored(QStringView about, QStringView type)
    {
        m_stored.append(about.trimmed().toUtf8());
        m_stored.append(type.trimmed().toUtf8());
        add(m_stored.last(), m_stored[m_stored.size() - 2]);
    }

private:
    static std::size_t listOf(QByteArrayView category)
    {
        for (std::size_t i = 0; i < store::CategoryNames.size(); ++i) {
            if (utf8CategoryNames()[i] == category.trimmed())
                return i;
        }
        return 0;
    }

    static const std::array<QByteArray, store::CategoryNames.size()> &utf8CategoryNames()
    {
        static const auto names = [] {
            std::array<QByteArray, store::CategoryNames.size()> utf8;
            for (std::size_t i = 0; i < utf8.size(); ++i)
                utf8[i] = store::CategoryNames[i].toUtf8();
            return utf8;
        }();
        return names;
    }

    std::array<QSet<QByteArrayView>, store::CategoryNames.size()> m_lists;
    QList<QByteArray> m_stored;
};

} // namespace

ImportPreview buildImportPreview(
    QList<ImportRecord> records, const store::BirthdayList &birthdays, int skippedLines)
{
    // A set instead of asking MyAboutHave per row: its scan of the whole list per row is
    // quadratic, and the second import of a large file would take minutes.
    SeenNames seen;
    QSet<QUuid> uids;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        seen.addStored(birthdays.text(i, store::BirthdayText::About),
            birthdays.text(i, store::BirthdayText::Type));
        if (!birthdays.uid(i).isNull())
            uids.insert(birthdays.uid(i));
    }

    ImportPreview preview;
    preview.skippedLines = skippedLines;
    preview.rows.reserve(records.size());
    for (ImportRecord &record : records) {
        const QUuid uid = record.uid();
        const bool present = !uid.isNull() && uids.contains(uid);
        if (!uid.isNull())
            uids.insert(uid);
        // The name is remembered even for a present row: a later row of that name is a copy.
        const bool newName = seen.add(record.category(), record.name());
        const bool ticked = newName && !present;
        preview.tickedCount += ticked ? 1 : 0;
        preview.presentCount += present ? 1 : 0;
        preview.rows.append({ std::move(record), ticked, present });
    }
    return preview;
}

ImportPreview buildImportPreview(ImportReading reading, const store::BirthdayList &birthdays)
{
    ImportPreview preview =
        buildImportPreview(std::move(reading.records), birthdays, reading.skippedLines);
    preview.lineCount = reading.lineCount;
    preview.recordLines = reading.recordLines;
    preview.notes = std::move(reading.notes);
    preview.notesLeftOut = reading.notesLeftOut;
    preview.encoding = reading.encoding;
    preview.sheet = std::move(reading.sheet);
    return preview;
}

QStringList reportLines(const ImportPreview &preview)
{
    QStringList lines;
    lines.reserve(preview.notes.size() + preview.presentCount + 1);
    for (const LineNote &note : preview.notes)
        lines << lineNoteText(note);
    if (preview.presentCount > 0) {
        for (const PreviewRow &row : preview.rows) {
            if (row.present)
                lines << presentText(row.record);
        }
    }
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

namespace {

QString cellOf(const store::BirthdayRecord &r, const ImportRecord &record, int column)
{
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
        return record.date();
    case 5:
        return r.blnIsGL;
    case 6:
        return QString::number(record.days());
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

} // namespace

QStringList previewCells(const ImportRecord &record)
{
    const store::BirthdayRecord fields = record.fields();
    QStringList cells;
    for (int column = 0; column < PreviewColumns; ++column)
        cells << cellOf(fields, record, column);
    return cells;
}

QString previewCell(const ImportRecord &record, int column)
{
    if (column == 0)
        return QString::fromUtf8(record.name());
    if (column == 6)
        return QString::number(record.days());
    return cellOf(record.fields(), record, column);
}

QString presentText(const ImportRecord &record)
{
    return u"'"_s + QString::fromUtf8(record.name()) + u"'已在生日数据库中(同一UID),不再添加"_s;
}

QString previewSummaryText(const ImportPreview &preview)
{
    return u"从外部文件分析提取的生日记录列表如下(共"_s + QString::number(preview.rows.size())
        + u",其中"_s + QString::number(preview.tickedCount) + u"有效)"_s;
}

QString reportSummaryText(const ImportPreview &preview)
{
    // How many lines became records, so that a file read short shows it at a glance.
    QString text;
    if (preview.lineCount > 0)
        text = u"文件共%1行,其中%2行读成%3条记录"_s.arg(preview.lineCount)
                   .arg(preview.recordLines)
                   .arg(preview.rows.size());
    const qsizetype notes = preview.notes.size() + preview.notesLeftOut + preview.presentCount;
    if (notes == 0)
        return text;
    if (!text.isEmpty())
        text += u","_s;
    text += u"导入说明共"_s + QString::number(notes) + u"条"_s;
    if (preview.skippedLines > 0)
        text += u",其中"_s + QString::number(preview.skippedLines) + u"行无法识别或过长,已跳过"_s;
    return text;
}

} // namespace natalis::transfer
