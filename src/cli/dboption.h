#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

namespace natalis::cli {

// --db PATH, shared by every command that opens the database.
QCommandLineOption dbOption();

// The file the program opens when started without an argument; both programs share a folder.
QString programDbPath();

// --db when given, else programDbPath().
QString dbPath(const QCommandLineParser &parser);

} // namespace natalis::cli
