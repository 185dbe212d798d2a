#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::transfer {

// One property of a vCard (versions 2.1, 3.0 and 4.0) with its parameters read and its value
// decoded to text: quoted-printable undone, the charset of a 2.1 card applied (a value without
// one is read as UTF-8 when it is valid UTF-8, in the ANSI code page otherwise). Escapes of
// 3.0/4.0 ("\,", "\;", "\n") are still in value; components() and text() take them out.
struct VcardProperty
{
    QString name; // upper case, group prefix ("item1.") removed
    QString group; // that prefix in upper case without its dot ("ITEM1"); empty without one
    // TYPE values in upper case, from "TYPE=CELL,VOICE", "TYPE=\"cell,voice\"" and the bare
    // parameters of 2.1 ("HOME;CELL").
    QStringList types;
    QList<std::pair<QString, QString>> parameters; // other parameters: upper-case name, value
    QString value;

    QString parameter(QStringView name) const; // empty when absent
    bool hasType(QStringView type) const; // case-insensitive
    QString text() const; // the value unescaped
    QStringList components() const; // split at unescaped ";", each unescaped
};

struct Vcard
{
    QList<VcardProperty> properties; // in card order, BEGIN, VERSION and END left out
    QString version; // "2.1", "3.0", "4.0" as the card says; empty when it says nothing

    // The first property of that name, or nullptr.
    const VcardProperty *first(QStringView name) const;
};

// One logical line of a vCard file: raw holds its bytes exactly as they stand, folds, line
// ends and any blank lines after it included, so that the raw of every line in order gives the
// file back; text is the line unfolded (quoted-printable soft breaks joined), without its line
// end, empty for blank lines before the first.
struct VcardLine
{
    QByteArray raw;
    QByteArray text;
};

// Folded lines (a line starting with a blank or tab continues the one before) and
// quoted-printable soft line breaks (a line ending in "=") joined.
QList<VcardLine> vcardLines(QByteArrayView bytes);

// One unfolded line read as a property, its group ("item1.") left out of the name; nullopt
// when it has no name before a ":".
std::optional<VcardProperty> parseVcardLine(QByteArrayView line);

// Every card between BEGIN:VCARD and END:VCARD, in file order. Folded lines (a line starting
// with a blank or tab continues the one before) and quoted-printable soft line breaks (a line
// ending in "=") are joined first. Lines outside a card, and a card that never ends, are read
// as far as they go; nothing is refused.
QList<Vcard> parseVcards(QByteArrayView bytes);

} // namespace natalis::transfer
