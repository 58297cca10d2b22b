#include "TMEnvelope.h"

#include "cfsanalysis/SignatureAlgorithm.h"
#include "mailanalysis/MessageTextParser.h"
#include "proto/hmac_md5.h"

#include <QXmlStreamReader>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {

const char kEnvelopeNs[] = "http://schemas.xmlsoap.org/soap/envelope/";
const char kXsdNs[] = "http://www.w3.org/2001/XMLSchema";
const char kXsiNs[] = "http://www.w3.org/2001/XMLSchema-instance";
const char kEncodingNs[] = "http://schemas.xmlsoap.org/soap/encoding/";

QString spaces(int indent) {
    return QString(qMax(indent, 0), QLatin1Char(' '));
}

QString attribute(const char *name, const char *value) {
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), QLatin1String(value));
}

QString namespaceAttributes() {
    return attribute("xmlns:SOAP-ENV", kEnvelopeNs) + attribute("xmlns:xsd", kXsdNs) +
           attribute("xmlns:xsi", kXsiNs) + attribute("xmlns:cfs", kTMGatewayNamespace) +
           attribute("xmlns:SOAP-ENC", kEncodingNs);
}

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

QString tmMakeSOAPValue(const QString &name, const QString &value, int indent, const char *type) {
    return QStringLiteral("%1<%2 xsi:type=\"xsd:%3\">%4</%5>\n")
        .arg(spaces(indent), name, QLatin1String(type), value, name);
}

QString tmMakeSOAPValue(const QString &name, int value, int indent, const char *type) {
    return tmMakeSOAPValue(name, QString::number(value), indent, type);
}

QString tmChecksum(const QString &text) {
    std::uint64_t sum = 0;
    for (const QChar c : text) {
        if (c.unicode() <= 0xff)
            sum +=
                static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int8_t>(c.unicode())));
    }
    return sum == 0 ? QString() : QString::number(sum);
}

QString tmDigest(const QString &text) {
    QByteArray bytes = text.toLatin1();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    unsigned char digest[16];
    unsigned char hex[33];
    md5_digest(reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<int>(bytes.size()),
               digest);
    CvtHex(digest, hex);
    return QString::fromLatin1(reinterpret_cast<const char *>(hex), 32);
}

QString tmSignature(const QString &text) {
    SignatureAlgorithm algorithm(true);
    try {
        MessageTextParser parser(algorithm);
        const QByteArray bytes = text.toLatin1();
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = bytes.indexOf('\n', start);
            qsizetype stop = end < 0 ? bytes.size() : end;
            const qsizetype next = stop + 1;
            if (stop > start && bytes[stop - 1] == '\r')
                --stop;
            parser.inputLine(std::string(bytes.constData() + start, static_cast<size_t>(stop - start)));
            if (end < 0)
                break;
            start = next;
        }
        parser.inputFinished();
    } catch (const std::exception &e) {
        // The parsers only throw on misuse; the counters gathered so far still describe the text.
        std::fprintf(stderr, "tmSignature: %s\n", e.what());
    }
    return QString::fromStdString(algorithm.getSignatureHex());
}

QString tmMakeSignature(int entryId, int indent, QString text) {
    const int inner = indent + 2;
    return spaces(indent) + QStringLiteral("<i>\n") +
           tmMakeSOAPValue(QStringLiteral("requestEntryID"), entryId, inner, "int") +
           tmMakeSOAPValue(QStringLiteral("checksum"), tmChecksum(text), inner, "int") +
           tmMakeSOAPValue(QStringLiteral("digest"), tmDigest(text), inner, "string") +
           tmMakeSOAPValue(QStringLiteral("signature"), tmSignature(text), inner, "string") + spaces(indent) +
           QStringLiteral("</i>\n");
}

QString tmMakeSOAPRequest(const QString &text) {
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n");
    out += QStringLiteral("<SOAP-ENV:Envelope") + namespaceAttributes() +
           attribute("SOAP-ENV:encodingStyle", kTMEncodingStyle) + QStringLiteral(">\n");
    out += QStringLiteral("  <SOAP-ENV:Body>\n");
    out += QStringLiteral("    <ns1:contentCheck xmlns:ns1=\"Content\">\n");
    out += tmMakeSOAPValue(QStringLiteral("anonymizerVersion"), 101, 6, "int");
    out += tmMakeSOAPValue(QStringLiteral("categoriesVersion"), 0, 6, "int");
    out +=
        tmMakeSOAPValue(QStringLiteral("signatureVersion"), SignatureAlgorithm::ALGORITHM_VERSION, 6, "int");
    out += QStringLiteral("      <contentChecks xsi:type=\"SOAP-ENC:Array\" "
                          "SOAP-ENC:arrayType=\"cfs:ContentCheckRequestEntry[1]\">\n");
    out += tmMakeSignature(0, 8, text);
    out += QStringLiteral("      </contentChecks>\n");
    out += QStringLiteral("    </ns1:contentCheck>\n");
    out += QStringLiteral("  </SOAP-ENV:Body>\n");
    out += QStringLiteral("</SOAP-ENV:Envelope>\n");
    return out;
}

QString tmEscapeText(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        char32_t code = c.unicode();
        int units = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            units = 2;
        }
        // "&" first: it would otherwise start an entity the server cannot read.
        if (code == U'&')
            out += QLatin1String("&amp;");
        else if (code == U'<')
            out += QLatin1String("&lt;");
        else if (code == U'>')
            out += QLatin1String("&gt;");
        else if (allowedInXml(code))
            out += text.mid(i, units);
        i += units - 1;
    }
    return out;
}

QString tmMakeSOAPReport(const QString &text) {
    QString out;
    out += QStringLiteral("<SOAP-ENV:Envelope") + attribute("SOAP-ENV:encodingStyle", kTMEncodingStyle) +
           namespaceAttributes() + QStringLiteral(">\n");
    out += QStringLiteral("  <SOAP-ENV:Body>\n");
    out += QStringLiteral("    <ns1:uploadContent xmlns:ns1=\"Upload\">\n");
    out += tmMakeSOAPValue(QStringLiteral("anonymizerVersion"), 101, 6, "int");
    out += QStringLiteral("      <contentBody xsi:type=\"xsd:string\">") + tmEscapeText(text) +
           QStringLiteral("      </contentBody>\n");
    out += QStringLiteral("    </ns1:uploadContent>\n");
    out += QStringLiteral("  </SOAP-ENV:Body>\n");
    out += QStringLiteral("</SOAP-ENV:Envelope>\n");
    return out;
}

bool tmGetResponse(const QString &xml) {
    // The whole answer must be XML: a page that breaks off after a "found" is no answer.
    QXmlStreamReader reader(xml);
    bool found = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (found || token != QXmlStreamReader::StartElement || reader.name() != QLatin1String("status"))
            continue;
        const QString value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        if (value.trimmed().toLower() == QLatin1String("found"))
            found = true;
    }
    return found && !reader.hasError();
}
