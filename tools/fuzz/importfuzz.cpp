// libFuzzer target over the import readers: every layout on the file's bytes in every encoding,
// the CSV record splitter, the line parsers on text that the line filter would otherwise keep
// from them, and the conversions and cuts beneath them on the edge values they are never handed
// by the readers (the invalid date, a width of 0 or less).
//
// It is built only by a compiler that knows -fsanitize=fuzzer (clang). Build the whole tree
// instrumented and run it on a corpus folder:
//   CXX=clang++ cmake -G Ninja -B build-fuzz \
//     -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
//   cmake --build build-fuzz --target import_fuzz
//   build-fuzz/tools/fuzz/import_fuzz CORPUS_DIR -max_total_time=300

#include "calendar/lunarconversion.h"
#include "calendar/lunaryeartable.h"
#include "transfer/birthline.h"
#include "transfer/csvfile.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/v10record.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace natalis::transfer;

namespace {

void consume(const ImportRecord &record)
{
    // Building the stored texts walks the date conversions with whatever the parser accepted.
    const natalis::store::BirthdayRecord stored = storedBirthday(record);
    if (stored.About.size() > 16 || stored.Tel.size() > 14)
        __builtin_trap();
}

void checkConversion(QDate day)
{
    if (const std::optional<natalis::calendar::LunarDate> lunar =
            natalis::calendar::solarToLunar(day))
        if (natalis::calendar::lunarToSolar(*lunar) != day)
            __builtin_trap();
}

// The bytes' first eight as a day number (QDate turns the out-of-range ones invalid), their
// first two as days from the lunar anchor, their first as a width from -128 to 127.
void probeEdges(QByteArrayView bytes, const QString &text)
{
    checkConversion(QDate());
    if (!cutToWidth(text, 0).isEmpty())
        __builtin_trap();
    if (bytes.size() >= 8) {
        qint64 dayNumber = 0;
        std::memcpy(&dayNumber, bytes.data(), sizeof dayNumber);
        checkConversion(QDate::fromJulianDay(dayNumber));
    }
    if (bytes.size() >= 2) {
        std::int16_t offset = 0;
        std::memcpy(&offset, bytes.data(), sizeof offset);
        checkConversion(natalis::calendar::LunarYearTable::anchor().addDays(offset));
    }
    if (!bytes.isEmpty()) {
        const int width = static_cast<signed char>(bytes[0]);
        if (cutToWidth(text, width).size() > qMax(width, 0))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (ImportLayout layout : { ImportLayout::Tab, ImportLayout::V30, ImportLayout::V10,
             ImportLayout::Csv, ImportLayout::Vcf }) {
        const ImportReading reading = readImportBytes(bytes, layout, QStringLiteral("fuzz.txt"));
        if (reading.failure && !reading.records.isEmpty())
            __builtin_trap();
        const ImportPreview preview = buildImportPreview(reading.records, {});
        for (const PreviewRow &row : preview.rows)
            consume(row.record);
    }
    for (EncodingChoice choice : { EncodingChoice::Gbk, EncodingChoice::Utf16 }) {
        ImportReadOptions options;
        options.encoding = choice;
        const ImportReading reading =
            readImportBytes(bytes, ImportLayout::Csv, QStringLiteral("fuzz.csv"), options);
        if (reading.notes.size() > MaxLineNotes)
            __builtin_trap();
    }
    const QString text = QString::fromUtf8(bytes);
    forEachCsvRecord(text, [](const CsvRecord &record) {
        if (record.line < 1 || record.lastLine < record.line || record.fields.isEmpty())
            __builtin_trap();
        return true;
    });
    consume(ParseTabBirthLine(text));
    consume(ParseOldBirthLine(text));
    if (const std::optional<ImportRecord> record = parseV10Record(text))
        consume(*record);
    probeEdges(bytes, text);
    return 0;
}
