#include "searcher.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cstdio>

namespace {

// Word lists are read once per program run and shared by every searcher; a list that could
// not be read stays empty so that its file is not tried again.
QHash<QString, QList<int>> &wordLists() {
    static QHash<QString, QList<int>> lists;
    return lists;
}

// "*" any run, "?" one character, everything else literal; matched anywhere in a keyword.
QRegularExpression wildcardExpression(const QString &pattern) {
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QLatin1String(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(expression, QRegularExpression::CaseInsensitiveOption);
}

quint64 pageKey(SOHelpPage page) {
    return (quint64(quint32(page.book)) << 32) | quint32(page.file);
}

// A book lists one occurrence per use of a word on a page. One document per page, scored
// by its occurrences, keeps a page from being listed twice and puts the pages that use the
// word most first.
QList<SOHelpDocument> onePerPage(const QList<SOHelpDocument> &occurrences) {
    QList<SOHelpDocument> documents;
    QHash<quint64, qsizetype> at;
    for (const SOHelpDocument &occurrence : occurrences) {
        const quint64 key = pageKey(occurrence.page());
        const auto seen = at.constFind(key);
        if (seen != at.cend()) {
            documents[*seen].addScore(occurrence.score());
            continue;
        }
        at.insert(key, documents.size());
        documents.append(occurrence);
    }
    return documents;
}

} // namespace

SOSearcher::SOSearcher(const QString &helpDir, const SOHelpKeywords &keywords)
    : m_dictionary(keywords.dictionary()), m_keywords(keywords), m_helpDir(helpDir) {}

SOHelpTerm SOSearcher::wildcardTerm(const QString &pattern) const {
    const QRegularExpression expression = wildcardExpression(pattern);
    SOHelpTerm term;
    QSet<QString> taken;
    for (auto it = m_dictionary.cbegin(); it != m_dictionary.cend(); ++it) {
        if (!expression.match(QString::fromLatin1(it.key())).hasMatch())
            continue;
        for (const SOHelpDocument &document : it.value()->documents()) {
            const QString name = m_keywords.pageName(document.page());
            if (taken.contains(name))
                continue;
            taken.insert(name);
            term.documents().append(document);
        }
    }
    return term;
}

QStringList SOSearcher::search(const QStringList &words, const QStringList &phrases) {
    QList<SOHelpTerm> terms;
    for (const QString &word : words) {
        if (word.contains(u'*')) {
            terms.append(wildcardTerm(word));
            continue;
        }
        const SOHelpIndex *entry = m_dictionary.value(word.toLatin1());
        if (!entry)
            return QStringList();
        terms.append(SOHelpTerm(onePerPage(entry->documents())));
    }
    if (terms.isEmpty())
        return QStringList();

    QList<SOHelpDocument> kept = terms.first().documents();
    for (qsizetype t = 1; t < terms.size() && !kept.isEmpty(); ++t) {
        // Every term holds a page at most once.
        QHash<quint64, int> score;
        for (const SOHelpDocument &document : terms[t].documents())
            score.insert(pageKey(document.page()), document.score());
        QList<SOHelpDocument> next;
        for (SOHelpDocument document : std::as_const(kept)) {
            const auto found = score.constFind(pageKey(document.page()));
            if (found == score.cend())
                continue;
            document.addScore(*found);
            next.append(document);
        }
        kept = std::move(next);
    }
    std::stable_sort(kept.begin(), kept.end());

    QStringList found;
    for (const SOHelpDocument &document : std::as_const(kept)) {
        const QString page = m_keywords.pageName(document.page());
        if (phrases.isEmpty() || findPhrases(phrases, page))
            found.append(page);
    }
    return found;
}

QList<int> SOSearcher::readWordList(const QByteArray &bytes) {
    QList<int> numbers;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        numbers.append(QByteArrayView(bytes).sliced(start, end - start).trimmed().toInt());
        start = end + 1;
    }
    return numbers;
}

qsizetype SOSearcher::phrasePosition(const QList<int> &list, const QList<int> &phrase) {
    // Signed: a phrase longer than the list has no start position at all.
    const qsizetype last = list.size() - phrase.size();
    if (list.isEmpty())
        return -1;
    for (qsizetype i = 0; i <= last; ++i) {
        if (std::equal(phrase.cbegin(), phrase.cend(), list.cbegin() + i))
            return i;
    }
    return -1;
}

bool SOSearcher::findPhrases(const QStringList &phrases, const QString &page) {
    const qsizetype dot = page.lastIndexOf(u'.');
    const QString name = (dot < 0 ? page : page.left(dot)) + QLatin1String(".wl");
    auto cached = wordLists().constFind(name);
    if (cached == wordLists().cend()) {
        cached = wordLists().insert(name, QList<int>());
        QFile file(m_helpDir + name);
        if (!file.open(QIODevice::ReadOnly)) {
            fprintf(stderr, "SOSearcher::findPhrases: %s: cannot open\n", qUtf8Printable(name));
            return false;
        }
        wordLists()[name] = readWordList(file.readAll());
        cached = wordLists().constFind(name);
    }
    const QList<int> &list = *cached;

    for (const QString &phrase : phrases) {
        QList<int> numbers;
        for (const QString &word : phrase.split(u' ', Qt::SkipEmptyParts)) {
            if (const SOHelpIndex *entry = m_dictionary.value(word.toLatin1()))
                numbers.append(entry->number());
        }
        const qsizetype at = phrasePosition(list, numbers);
        if (at >= 0) {
            fprintf(stderr, "SOSearcher::findPhrases: at [%d] in [%s]\n", int(at), qUtf8Printable(page));
            return true;
        }
    }
    return false;
}

QString SOSearcher::titleOf(QStringView page) {
    const qsizetype open = page.indexOf(QLatin1String("<title>"), 0, Qt::CaseInsensitive);
    if (open < 0)
        return QString();
    const qsizetype start = open + 7;
    const qsizetype close = page.indexOf(QLatin1String("</title>"), start, Qt::CaseInsensitive);
    if (close < 0)
        return QString();
    // An empty title is still a title, not a missing one.
    QString title = page.sliced(start, close - start).toString();
    if (title.isNull())
        title = QLatin1String("");
    return title;
}

QString SOSearcher::plainTitle(const QString &raw) {
    // Character references decoded once, by hand for numeric ones and by Qt's own HTML entity
    // table for names; anything that is no reference stays as written.
    QString plain;
    plain.reserve(raw.size());
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype semi = raw.at(i) == u'&' ? raw.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 32) {
            plain += raw.at(i++);
            continue;
        }
        const QStringView name = QStringView(raw).sliced(i + 1, semi - i - 1);
        QString decoded;
        if (name.startsWith(u'#') && name.size() > 1) {
            const bool hex = name.at(1) == u'x' || name.at(1) == u'X';
            bool ok = false;
            const qulonglong code = name.sliced(hex ? 2 : 1).toULongLong(&ok, hex ? 16 : 10);
            if (ok && code != 0) {
                // A reference to a surrogate or to a code beyond Unicode names no character.
                if (code > 0x10FFFF || QChar::isSurrogate(char32_t(code)))
                    decoded = QChar(QChar::ReplacementCharacter);
                else
                    decoded = QStringView(QChar::fromUcs4(char32_t(code))).toString();
            }
        } else if (!name.isEmpty()) {
            const QString reference = raw.sliced(i, semi - i + 1);
            const QString text = QTextDocumentFragment::fromHtml(reference).toPlainText();
            if (text != reference && text.size() <= 2)
                decoded = text;
        }
        if (decoded.isNull()) {
            plain += raw.at(i++);
            continue;
        }
        plain += decoded;
        i = semi + 1;
    }
    return plain.simplified();
}

QString SOSearcher::getDocumentTitle(const QString &page) {
    const auto cached = m_titles.constFind(page);
    if (cached != m_titles.cend())
        return *cached;
    QFile file(m_helpDir + page);
    if (!file.open(QIODevice::ReadOnly))
        return page;
    const QString title = plainTitle(titleOf(QString::fromUtf8(file.readAll())));
    if (title.isEmpty())
        return page; // a blank row in the results could not be told from the next
    m_titles.insert(page, title);
    return title;
}
