#pragma once
// One line of an IMAP server, parsed into what the client acts on: whose answer it is (a
// tag, untagged data, a request to go on, or the rest of a response after a literal), its
// status and response code, the number and keyword of untagged data, the UID and size a
// FETCH response names and the size of a literal announced at its end. A plain value: it knows
// no socket and no client state.

#include <QByteArray>
#include <QByteArrayView>
#include <QMetaType>

#include <iosfwd>

class IMAP4Response {
    Q_GADGET
public:
    enum class Kind {
        Untagged,     // "* ..."
        Tagged,       // "<tag> ...": the completion of a command, or a line that is nothing else
        Continuation, // "+ ...": the server waits for more of the command
        AfterLiteral, // the rest of a response after a literal; never a completion
    };
    Q_ENUM(Kind)
    enum class Status { None, Ok, No, Bad, Preauth, Bye };
    Q_ENUM(Status)

    // The line as received, without its CR LF.
    QByteArray line;
    Kind kind = Kind::Tagged;
    // Tagged: the first word of the line.
    QByteArray tag;
    // Tagged (OK, NO, BAD) or untagged (also PREAUTH, BYE); None when the line has none.
    Status status = Status::None;
    // The response code after a status, "[UIDVALIDITY 7]": its name in upper case and the
    // rest up to "]", trimmed.
    QByteArray code;
    QByteArray codeArgument;
    // Untagged data, "* 2 EXISTS" or "* CAPABILITY ...": the number (-1 when none; one too
    // large to hold reads as the largest) and the keyword in upper case.
    qint64 number = -1;
    QByteArray keyword;
    // A FETCH response: the digits after its last UID item; empty when it names none.
    QByteArray uid;
    // A FETCH response: the number after its last RFC822.SIZE item; -1 when it names none.
    qint64 size = -1;
    // A FETCH response: what its FLAGS list holds, between the parentheses; empty when it
    // names none.
    QByteArray flags;
    // Size of the literal announced at the end of an untagged line or of the rest of one
    // ("{n}" or "{n+}"); -1 when none follows.
    qint64 literal = -1;

    // afterLiteral: the line continues a response whose literal has just been read.
    [[nodiscard]] static IMAP4Response parse(const QByteArray &line, bool afterLiteral = false);

    // Whether flags names the flag (such as \Deleted), compared without regard to case.
    [[nodiscard]] bool hasFlag(QByteArrayView flag) const;
    // Whether a capability list (the words after "CAPABILITY", or a response code's
    // argument) names the capability, compared without regard to case.
    [[nodiscard]] static bool listsCapability(QByteArrayView list, QByteArrayView capability);

    friend bool operator==(const IMAP4Response &, const IMAP4Response &) = default;
};

// Every field that differs from a fresh value, for test failures and traces.
std::ostream &operator<<(std::ostream &os, const IMAP4Response &r);
