#include "record_xml_p.h"

#include "data.h"

#include <QDomProcessingInstruction>
#include <QHash>
#include <QStringList>

#include <algorithm>

namespace RecordXml {

namespace {

// The identity of a DOM node: copies of a QDomNode share one private node.
struct NodeIdentity : QDomNode {
    static const void *of(const QDomNode &node) { return node.*(&NodeIdentity::impl); }
};

struct AttributeOrder {
    QDomNode keepAlive; // holds the node, so that its address is not reused during the session
    QStringList names;
};

using OrderMap = QHash<const void *, AttributeOrder>;

// Records are used on one thread only (the GUI thread).
OrderMap *s_order = nullptr;

bool isForbidden(char16_t c) {
    if (c < 0x20)
        return c != u'\t' && c != u'\n' && c != u'\r';
    return c == 0xFFFE || c == 0xFFFF;
}

bool isXmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Appends the text with markup characters escaped. In attribute values TAB, LF and CR are
// written as references, else a reader would turn them into spaces; in text CR is, else a
// reader would turn it into LF.
void appendEscaped(QByteArray &out, const QString &text, bool attribute) {
    QString buffer;
    buffer.reserve(text.size() + 16);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            buffer += QLatin1String("&amp;");
            break;
        case u'<':
            buffer += QLatin1String("&lt;");
            break;
        case u'>':
            buffer += QLatin1String("&gt;");
            break;
        case u'\r':
            buffer += QLatin1String("&#13;");
            break;
        case u'"':
            buffer += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        case u'\n':
            buffer += attribute ? QLatin1String("&#10;") : QLatin1String("\n");
            break;
        case u'\t':
            buffer += attribute ? QLatin1String("&#9;") : QLatin1String("\t");
            break;
        default:
            buffer += c;
        }
    }
    out += buffer.toUtf8();
}

void appendText(QByteArray &out, const QString &raw) {
    const QString text = dropForbidden(raw);
    if (text.isEmpty())
        return;
    // A parser drops text that is only whitespace; inside CDATA it is kept.
    if (std::all_of(text.begin(), text.end(), isXmlSpace)) {
        out += "<![CDATA[";
        out += text.toUtf8();
        out += "]]>";
        return;
    }
    appendEscaped(out, text, false);
}

QStringList attributeNames(const QDomElement &element) {
    const QDomNamedNodeMap attributes = element.attributes();
    QStringList ordered;
    if (s_order) {
        const auto it = s_order->constFind(NodeIdentity::of(element));
        if (it != s_order->constEnd()) {
            for (const QString &name : it->names) {
                if (element.hasAttribute(name))
                    ordered.append(name);
            }
        }
    }
    QStringList rest;
    for (int i = 0; i < attributes.count(); ++i) {
        const QString name = attributes.item(i).nodeName();
        if (!ordered.contains(name))
            rest.append(name);
    }
    rest.sort();
    return ordered + rest;
}

void writeNode(QByteArray &out, const QDomNode &node, int depth, bool pretty);

void writeElement(QByteArray &out, const QDomElement &element, int depth, bool pretty) {
    if (pretty)
        out.append(depth, ' ');
    const QByteArray tag = element.tagName().toUtf8();
    out += '<';
    out += tag;
    for (const QString &name : attributeNames(element)) {
        out += ' ';
        out += name.toUtf8();
        out += "=\"";
        appendEscaped(out, dropForbidden(element.attribute(name)), true);
        out += '"';
    }
    QDomNode child = element.firstChild();
    if (child.isNull()) {
        out += "/>";
    } else {
        // Whitespace added around text would become part of it: text content is written
        // as it is, element-only content is indented.
        bool hasText = false;
        for (QDomNode n = child; !n.isNull(); n = n.nextSibling())
            hasText = hasText || n.isText() || n.isCDATASection() || n.isEntityReference();
        const bool indentChildren = pretty && !hasText;
        out += '>';
        if (indentChildren)
            out += '\n';
        for (QDomNode n = child; !n.isNull(); n = n.nextSibling())
            writeNode(out, n, depth + 1, indentChildren);
        if (indentChildren)
            out.append(depth, ' ');
        out += "</";
        out += tag;
        out += '>';
    }
    if (pretty)
        out += '\n';
}

void writeNode(QByteArray &out, const QDomNode &node, int depth, bool pretty) {
    switch (node.nodeType()) {
    case QDomNode::ElementNode:
        writeElement(out, node.toElement(), depth, pretty);
        break;
    case QDomNode::TextNode:
    case QDomNode::CDATASectionNode:
        appendText(out, node.nodeValue());
        break;
    case QDomNode::ProcessingInstructionNode: {
        const QDomProcessingInstruction pi = node.toProcessingInstruction();
        if (pretty)
            out.append(depth, ' ');
        out += "<?" + pi.target().toUtf8() + ' ' + dropForbidden(pi.data()).toUtf8() + "?>";
        if (pretty)
            out += '\n';
        break;
    }
    default:
        // Records produce elements and text only; comments and the like are not kept.
        break;
    }
}

} // namespace

OrderSession::OrderSession() : m_previous(s_order) {
    s_order = new OrderMap;
}

OrderSession::~OrderSession() {
    delete s_order;
    s_order = static_cast<OrderMap *>(m_previous);
}

void noteAttribute(const QDomElement &element, const QString &name) {
    if (!s_order || element.isNull())
        return;
    AttributeOrder &order = (*s_order)[NodeIdentity::of(element)];
    if (order.keepAlive.isNull())
        order.keepAlive = element;
    if (!order.names.contains(name))
        order.names.append(name);
}

QByteArray serialize(const QDomDocument &document) {
    QByteArray out;
    for (QDomNode n = document.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement() || n.isProcessingInstruction())
            writeNode(out, n, 0, true);
    }
    return out;
}

QByteArray recordFile(const Data &record) {
    OrderSession session;
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = document.createElement(QStringLiteral("name"));
    document.appendChild(root);
    record.store(root);
    return serialize(document);
}

QString dropForbidden(const QString &text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    // Fast path: most texts have nothing to drop.
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (isForbidden(c) || QChar::isSurrogate(c))
            break;
    }
    if (i == n)
        return text;
    QString out = text.left(i);
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                out += text.at(i);
                out += text.at(++i);
            }
            continue;
        }
        if (QChar::isLowSurrogate(c) || isForbidden(c))
            continue;
        out += text.at(i);
    }
    return out;
}

} // namespace RecordXml
