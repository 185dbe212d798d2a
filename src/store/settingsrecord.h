#pragma once

#include <QString>
#include <array>

namespace natalis::store {

// The settings row (table tishidata, Id 1) in memory. The initial values are those of a new
// database. Flags are 0 or 1; a reminder method fires only when its main flag and its timing
// flag are both 1. Times of day are "HH:MM".
struct SettingsRecord
{
    QString strC_S = QStringLiteral("0"); // kept and written back unchanged
    QString strServer;
    QString strShare;
    quint8 intQipao = 1; // tray balloon
    quint8 intQpInit = 1; // ... at start-up
    quint8 intQpTime = 1; // ... at strQpTime
    QString strQpTime = QStringLiteral("09:00");
    quint8 intFudong = 1; // floating window
    quint8 intFdInit = 1;
    quint8 intFdTime = 1;
    QString strFdTime = QStringLiteral("09:00");
    quint8 intMusic = 0;
    quint8 intMcInit = 0;
    quint8 intMcTime = 0;
    QString strMcTime = QStringLiteral("09:00");
    QString strMcFile;
    // Festivals: 端午节, 中秋节, 重阳节, 教师节, 母亲节, 父亲节, 妇女节, 儿童节, 七夕节, 情人节,
    // 圣诞节.
    quint8 intDw = 1, intZq = 1, intCy = 1, intJs = 1, intMq = 1, intFq = 1, intFl = 1, intEt = 1,
           intQx = 1, intQr = 1, intSd = 1;
    quint8 intNums = 3; // days of advance notice for the festivals
    // Per category index 0..7.
    std::array<QString, 8> DxTxFlags { QStringLiteral("0"), QStringLiteral("0"),
        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
        QStringLiteral("0"), QStringLiteral("0") };
    std::array<QString, 8> DxTxUser; // the SMS account item, tag included
    std::array<QString, 8> DxTxContent; // the birthday SMS text
    std::array<qint16, 8> DxTxTqDays {}; // days before the birthday the SMS goes out
    quint8 DxTxRetryNums = 0; // SMS log retention, 0 keeps everything .. 4 one month
    QString DxSendTime = QStringLiteral("08:00");
    QString DxYyTail; // signature of the application account's messages
    qint16 intInitType = 0; // category index whose tab is selected at start-up

    friend bool operator==(const SettingsRecord &, const SettingsRecord &) = default;
};

} // namespace natalis::store
