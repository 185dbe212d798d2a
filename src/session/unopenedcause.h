#pragma once

#include "store/dberror.h"

#include <QString>

namespace natalis::session {

// Why the file at dbPath did not open as a database of ours, as the user is told it: "不是文件",
// "文件是空的", "不是本程序的数据库(…)", "文件已损坏(文件不完整)" or "文件已损坏,或不是用本程序的
// 密钥加密的". error is what the open returned; the file's own first bytes tell a database of
// another program or a text from a file of ours, whose bytes look random without the key.
QString unopenedCause(const QString &dbPath, const store::DbError &error);

} // namespace natalis::session
