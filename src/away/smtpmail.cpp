#include "away/smtpmail.h"

#include "sync/davtransport.h"

#include <QLocale>
#include <QStringList>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <optional>

using namespace Qt::StringLiterals;

namespace natalis::away {

namespace {

constexpr long ConnectTimeoutSeconds = 30;
constexpr long WholeTimeoutSeconds = 120;
// An encoded word may be 75 characters: "=?UTF-8?B?" + 60 base64 characters + "?=".
constexpr int EncodedWordBytes = 45;
constexpr int Base64LineLength = 76;

// Splits text into pieces of at most `limit` UTF-8 bytes, never inside a character.
QList<QByteArray> utf8Pieces(const QString &text, int limit)
{
    QList<QByteArray> pieces;
    QByteArray piece;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        i += length - 1;
        if (piece.size() + character.size() > limit) {
            pieces.append(piece);
            piece.clear();
        }
        piece += character;
    }
    if (!piece.isEmpty())
        pieces.append(piece);
    return pieces;
}

QByteArray encodedHeader(const QString &text)
{
    QByteArrayList words;
    for (const QByteArray &piece : utf8Pieces(text, EncodedWordBytes))
        words.append("=?UTF-8?B?" + piece.toBase64() + "?=");
    return words.join("\r\n ");
}

QByteArray wrappedBase64(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray wrapped;
    for (qsizetype at = 0; at < encoded.size(); at += Base64LineLength)
        wrapped += encoded.mid(at, Base64LineLength) + "\r\n";
    return wrapped;
}

QByteArray offsetText(const QDateTime &date)
{
    const int minutes = date.offsetFromUtc() / 60;
    const int magnitude = std::abs(minutes);
    return QString::asprintf("%c%02d%02d", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60)
        .toLatin1();
}

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload
{
    QByteArray bytes;
    qsizetype at = 0;
    bool started = false; // the server took DATA: from here on the outcome can be unknown
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    auto *upload = static_cast<Upload *>(user);
    upload->started = true;
    const size_t length = std::min(size * count, size_t(upload->bytes.size() - upload->at));
    std::memcpy(buffer, upload->bytes.constData() + upload->at, length);
    upload->at += qsizetype(length);
    return length;
}

// Ends the transfer once the program is stopping; called by libcurl about once a second.
int stopWhenAsked(void *stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return stop && static_cast<const std::atomic_bool *>(stop)->load() ? 1 : 0;
}

MailResult classify(CURLcode code, const Upload &upload, const char *detail)
{
    const QString why = QString::fromUtf8(detail[0] ? detail : curl_easy_strerror(code));
    switch (code) {
    case CURLE_OK:
        return { MailOutcome::Sent, {} };
    case CURLE_LOGIN_DENIED:
        return { MailOutcome::Refused, u"邮件服务器拒绝了用户名或授权码: "_s + why };
    case CURLE_USE_SSL_FAILED:
        return { MailOutcome::Refused, u"邮件服务器不支持STARTTLS加密, 未发送"_s };
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return { MailOutcome::Refused, u"邮件服务器的证书无效: "_s + why };
    default:
        break;
    }
    if (upload.started)
        return { MailOutcome::Unknown, u"邮件已交给服务器, 但未收到回复: "_s + why };
    if (code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_COULDNT_CONNECT
        || code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_OPERATION_TIMEDOUT
        || code == CURLE_SSL_CONNECT_ERROR || code == CURLE_GOT_NOTHING
        || code == CURLE_ABORTED_BY_CALLBACK)
        return { MailOutcome::Unreachable, u"无法连接邮件服务器: "_s + why };
    return { MailOutcome::Refused, u"邮件服务器拒绝了邮件: "_s + why };
}

// The checks before any byte leaves: the scheme, and for plain smtp the local address connected
// to. Sets *pinned to "host:port:address" for CURLOPT_RESOLVE when plain is allowed.
std::optional<MailResult> refusal(const QUrl &url, bool *plainAllowed, QByteArray *pinned)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"smtps" && scheme != u"smtp"))
        return MailResult { MailOutcome::Refused, u"邮件服务器地址须以smtps://或smtp://开头"_s };
    *plainAllowed = false;
    if (scheme == u"smtp") {
        if (const std::optional<QHostAddress> local = sync::localAddressOf(url.host())) {
            *plainAllowed = true;
            *pinned = (url.host() + u':' + QString::number(url.port(25)) + u':' + local->toString())
                          .toUtf8();
        }
    }
    return std::nullopt;
}

} // namespace

QByteArray mailBytes(const OutgoingMail &mail)
{
    const QByteArray address = mail.to.trimmed().toUtf8();
    QByteArray bytes;
    bytes += "Date: " + QLocale::c().toString(mail.date, u"ddd, dd MMM yyyy HH:mm:ss "_s).toLatin1()
        + offsetText(mail.date) + "\r\n";
    bytes += "From: <" + address + ">\r\n";
    bytes += "To: <" + address + ">\r\n";
    bytes += "Subject: " + encodedHeader(mail.subject) + "\r\n";
    bytes += "Message-ID: <" + mail.messageId.toUtf8() + ">\r\n";
    bytes += "MIME-Version: 1.0\r\n";
    bytes += "Content-Type: text/plain; charset=UTF-8\r\n";
    bytes += "Content-Transfer-Encoding: base64\r\n\r\n";
    QString body = mail.body;
    body.replace(u"\n"_s, u"\r\n"_s);
    bytes += wrappedBase64(body.toUtf8());
    return bytes;
}

MailResult sendMail(
    const MailServer &server, const OutgoingMail &mail, const std::atomic_bool *stop)
{
    bool plainAllowed = false;
    QByteArray pinned;
    if (const std::optional<MailResult> refused = refusal(server.url, &plainAllowed, &pinned))
        return *refused;
    initialiseCurl();
    CURL *curl = curl_easy_init();
    if (!curl)
        return { MailOutcome::Unreachable, u"无法初始化邮件发送"_s };
    Upload upload { mailBytes(mail) };
    char detail[CURL_ERROR_SIZE] = {};
    const QByteArray url = server.url.toString(QUrl::RemoveUserInfo | QUrl::RemovePath).toUtf8();
    const QByteArray user = server.user.toUtf8();
    const QByteArray password = server.password.toUtf8();
    const QByteArray address = '<' + mail.to.trimmed().toUtf8() + '>';
    const QByteArray caFile = server.caFile.toUtf8();
    curl_slist *recipients = curl_slist_append(nullptr, address.constData());
    curl_slist *resolve =
        pinned.isEmpty() ? nullptr : curl_slist_append(nullptr, pinned.constData());
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL, plainAllowed ? CURLUSESSL_TRY : CURLUSESSL_ALL);
    if (resolve)
        curl_easy_setopt(curl, CURLOPT_RESOLVE, resolve);
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, address.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, WholeTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, stop);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    curl_slist_free_all(resolve);
    curl_easy_cleanup(curl);
    return classify(code, upload, detail);
}

} // namespace natalis::away
