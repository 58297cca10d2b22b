#include "parser.h"

#include <QIODevice>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <cstdio>

namespace {

// The XML reader has already decoded the references; a title written over several lines or
// padded with spaces still shows as one tidy row.
QString shownTitle(const QXmlStreamAttributes &attributes) {
    return attributes.value(QLatin1String("title")).toString().simplified();
}

} // namespace

ContentsItem::ContentsItem(QTreeWidget *parent, const QString &title, const QString &link)
    : QTreeWidgetItem(parent) {
    setText(0, title);
    setData(0, LinkRole, link);
}

ContentsItem::ContentsItem(QTreeWidgetItem *parent, const QString &title, const QString &link)
    : QTreeWidgetItem(parent) {
    setText(0, title);
    setData(0, LinkRole, link);
}

QString ContentsItem::link() const {
    return data(0, LinkRole).toString();
}

SOHelpParser::SOHelpParser(QTreeWidget *contents, QTreeWidget *index, SOHelpKeywords &keywords)
    : m_contents(contents), m_index(index), m_keywords(keywords), m_book(keywords.addBook()) {}

SOHelpParser::SOHelpParser(QTreeWidgetItem *book, QTreeWidget *index, SOHelpKeywords &keywords)
    : m_bookRow(book), m_index(index), m_keywords(keywords), m_book(keywords.addBook()) {}

bool SOHelpParser::parse(QIODevice *input) {
    QXmlStreamReader reader(input);
    return run(reader);
}

bool SOHelpParser::parse(const QByteArray &book) {
    QXmlStreamReader reader(book);
    return run(reader);
}

bool SOHelpParser::run(QXmlStreamReader &reader) {
    m_error.clear();
    while (!reader.atEnd()) {
        bool ok = true;
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            startDocument();
            break;
        case QXmlStreamReader::StartElement:
            ok = startElement(reader.name(), reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            ok = endElement(reader.name());
            break;
        case QXmlStreamReader::Characters:
            ok = characters(reader.text());
            break;
        default:
            break;
        }
        if (!ok) {
            m_error = QStringLiteral("unexpected element \"%1\"").arg(reader.name());
            reader.raiseError(m_error);
            break;
        }
    }
    if (!reader.hasError())
        return true;
    m_error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    fprintf(stderr, "SOHelpParser::parse: %s\n", qUtf8Printable(m_error));
    return false;
}

void SOHelpParser::startDocument() {
    m_keyword = nullptr;
}

ContentsItem *SOHelpParser::addRow(QList<ContentsItem *> &stack, QTreeWidget *topList,
                                   QTreeWidgetItem *topItem, const QXmlStreamAttributes &attributes) {
    const QString title = shownTitle(attributes);
    const QString link = attributes.value(QLatin1String("ref")).toString();
    ContentsItem *row;
    if (!stack.isEmpty())
        row = new ContentsItem(stack.last(), title, link);
    else if (topItem)
        row = new ContentsItem(topItem, title, link);
    else
        row = new ContentsItem(topList, title, link);
    stack.append(row);
    return row;
}

bool SOHelpParser::startElement(QStringView name, const QXmlStreamAttributes &attributes) {
    if (name == u"help" || name == u"index" || name == u"keyfiles" || name == u"keywords")
        return true;
    if (name == u"keyoccurs") {
        if (!m_keyword)
            return false;
        // An id that is not a number names no page (it must not fall back to page 0).
        bool isNumber = false;
        const int file = attributes.value(QLatin1String("id")).toInt(&isNumber);
        if (isNumber && file >= 0 && file < m_keywords.keyFileCount(m_book))
            m_keyword->append(SOHelpPage{m_book, file});
        return true;
    }
    if (name == u"keyword") {
        m_keyword = m_keywords.insert(attributes.value(QLatin1String("word")).toString().toLatin1(),
                                      attributes.value(QLatin1String("id")).toInt());
        return true;
    }
    if (name == u"keyfile") {
        m_keywords.addKeyFile(m_book, attributes.value(QLatin1String("ref")).toString());
        return true;
    }
    if (name == u"section") {
        addRow(m_sections, m_contents, m_bookRow, attributes);
        return true;
    }
    if (name == u"item") {
        addRow(m_items, m_index, nullptr, attributes);
        return true;
    }
    if (name == u"contents") {
        m_bookTitle = shownTitle(attributes);
        return true;
    }
    return false;
}

bool SOHelpParser::endElement(QStringView name) {
    if (name == u"section") {
        if (!m_sections.isEmpty())
            m_sections.removeLast();
        return true;
    }
    if (name == u"item") {
        if (!m_items.isEmpty())
            m_items.removeLast();
        return true;
    }
    if (name == u"keyword") {
        m_keyword = nullptr;
        return true;
    }
    return name == u"keyoccurs" || name == u"keyfile" || name == u"help" || name == u"contents" ||
           name == u"index" || name == u"keyfiles" || name == u"keywords";
}

bool SOHelpParser::characters(QStringView) {
    return true;
}
