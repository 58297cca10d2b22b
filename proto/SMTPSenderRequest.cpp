#include "SMTPSenderRequest.h"

#include "data/store_account_list.h"

namespace {

// Longest run of UTF-8 bytes in one encoded word: its base64 form and the markers stay
// within the 75 characters a word may have.
constexpr int kWordBytes = 45;

QString withoutLineBreaks(QString value) {
    for (QChar &c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    return value;
}

bool isAscii(const QString &value) {
    for (const QChar c : value) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// The whole text as UTF-8 encoded words, never splitting a character; the words go on folded
// lines of their own, so a long value keeps within the line length servers accept.
QString encodedWords(const QString &text) {
    QStringList words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words.append(QStringLiteral("=?UTF-8?B?%1?=").arg(QLatin1String(chunk.toBase64())));
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > kWordBytes)
            flush();
        chunk += bytes;
        i += n;
    }
    flush();
    return words.join(QStringLiteral("\r\n "));
}

QString unstructured(const QString &value) {
    const QString clean = withoutLineBreaks(value);
    return isAscii(clean) ? clean : encodedWords(clean);
}

// "Name <address>": only the name may be encoded, the address must stay readable to mailers.
QString address(const QString &value) {
    const QString clean = withoutLineBreaks(value);
    if (isAscii(clean))
        return clean;
    const qsizetype open = clean.lastIndexOf(QLatin1Char('<'));
    if (open < 0)
        return clean.contains(QLatin1Char('@')) ? clean : encodedWords(clean.trimmed());
    QString name = clean.left(open).trimmed();
    if (name.isEmpty() || isAscii(name))
        return clean;
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))) {
        QString unquoted;
        const QString inner = name.mid(1, name.size() - 2);
        for (qsizetype i = 0; i < inner.size(); ++i) {
            if (inner.at(i) == QLatin1Char('\\') && i + 1 < inner.size())
                ++i;
            unquoted += inner.at(i);
        }
        name = unquoted;
    }
    return encodedWords(name) + QLatin1Char(' ') + clean.mid(open);
}

} // namespace

SMTPSenderRequest::SMTPSenderRequest(bool addMarker, const QString &server,
                                     const DataAccountAdvancedSMTP &smtp, const QString &user,
                                     const QString &password, const DataEmailMessage &message,
                                     const QString &from, const QString &to)
    : addMarker(addMarker), server(server), smtp(smtp), user(user), password(password), message(message),
      from(from), to(to) {}

QString SMTPSenderRequest::body() const {
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    text += QStringLiteral("Date: ") + unstructured(message.date) + crlf;
    text += QStringLiteral("From: ") + address(message.from) + crlf;
    text += QStringLiteral("Message-Id: ") + unstructured(message.uid) + crlf;
    text += QStringLiteral("To: ") + address(message.to) + crlf;
    text += QStringLiteral("Subject: ") + unstructured(message.subject) + crlf;
    if (!message.mime.isEmpty())
        text += QStringLiteral("MIME-Version: ") + unstructured(message.mime) + crlf;
    if (!message.content.isEmpty())
        text += QStringLiteral("Content-Type: ") + unstructured(message.content) + crlf;
    if (!message.autosub.isEmpty())
        text += QStringLiteral("Auto-Submitted: ") + unstructured(message.autosub) + crlf;
    if (addMarker)
        text += QStringLiteral("X-Velloran-ID: <%1>")
                    .arg(unstructured(StoreAccountList::accounts()->VLMessageID)) +
                crlf;
    text += crlf;
    text += message.body_;
    return text;
}
