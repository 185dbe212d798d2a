// libFuzzer target over the import readers: every layout on the file's bytes in every encoding,
// the CSV record splitter, and the line parsers on text that the line filter would otherwise keep
// from them.

#include "transfer/birthline.h"
#include "transfer/csvfile.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/v10record.h"

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>

using namespace natalis::transfer;

namespace {

void consume(const ImportRecord &record)
{
    // Building the stored texts walks the date conversions with whatever the parser accepted.
    const natalis::store::BirthdayRecord stored = StoredBirthday(record);
    if (stored.About.size() > 16 || stored.Tel.size() > 14)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (ImportLayout layout :
        { ImportLayout::Tab, ImportLayout::V30, ImportLayout::V10, ImportLayout::Csv }) {
        const ImportReading reading = ReadImportBytes(bytes, layout, QStringLiteral("fuzz.txt"));
        if (reading.failure && !reading.records.isEmpty())
            __builtin_trap();
        const ImportPreview preview = BuildImportPreview(reading.records, {});
        for (const PreviewRow &row : preview.rows)
            consume(row.record);
    }
    for (EncodingChoice choice : { EncodingChoice::Gbk, EncodingChoice::Utf16 }) {
        ImportReadOptions options;
        options.encoding = choice;
        const ImportReading reading =
            ReadImportBytes(bytes, ImportLayout::Csv, QStringLiteral("fuzz.csv"), options);
        if (reading.notes.size() > MaxLineNotes)
            __builtin_trap();
    }
    const QString text = QString::fromUtf8(bytes);
    ForEachCsvRecord(text, [](qsizetype line, const QStringList &fields) {
        if (line < 1 || fields.isEmpty())
            __builtin_trap();
        return true;
    });
    consume(ParseTabBirthLine(text));
    consume(ParseOldBirthLine(text));
    if (const std::optional<ImportRecord> record = ParseV10Record(text))
        consume(*record);
    return 0;
}
