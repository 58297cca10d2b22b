#pragma once
// The community service's SOAP 1.1 messages: the check envelope with the message's three
// fingerprints, the upload envelope with the message text, and the reading of an answer.

#include <QString>

// The namespace of the service's gateway types and the service's encoding style (SOAP 1.1
// encoding), as the service reads them; kept here and nowhere else.
inline constexpr char kTMGatewayNamespace[] = "urn:tallowmark:gateway";
inline constexpr char kTMEncodingStyle[] = "http://schemas.xmlsoap.org/soap/encoding/";

// The check envelope ("Content#contentCheck") for the text.
QString tmMakeSOAPRequest(const QString &text);
// The upload envelope ("Upload#uploadContent") holding the text.
QString tmMakeSOAPReport(const QString &text);
// Whether the answer holds a "status" element whose text, trimmed and in any letter case,
// is "found". False for a text that is not XML.
bool tmGetResponse(const QString &xml);
// One entry of the check array: its id and the text's checksum, digest and signature.
QString tmMakeSignature(int entryId, int indent, QString text);
// One typed value line: indent spaces, <name xsi:type="xsd:type">value</name> and LF.
QString tmMakeSOAPValue(const QString &name, const QString &value, int indent, const char *type);
QString tmMakeSOAPValue(const QString &name, int value, int indent, const char *type);
// The sum of the text's Latin-1 bytes taken as signed, modulo 2^64, in decimal; empty when
// it is 0.
QString tmChecksum(const QString &text);
// MD5 of the text's Latin-1 bytes up to the first NUL, 32 lower-case hex digits.
QString tmDigest(const QString &text);
// The text's community signature (128 lower-case hex digits), its lines split at LF with a
// trailing CR dropped.
QString tmSignature(const QString &text);
// The text as the content of an XML element: "&", "<" and ">" escaped, characters XML 1.0
// does not allow dropped.
QString tmEscapeText(const QString &text);
