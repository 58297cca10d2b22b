#pragma once
// The message records: one fetched message with its extracted header fields and the
// reports built from it, its scan status, and its line in the mail log.

#include "data.h"
#include "dataarray.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <regex.h>

class QIODevice;

// A header pattern: a POSIX extended expression, compiled case-insensitively, whose group 1
// is the value taken. It runs byte-wise whatever the user's locale, so 8-bit header bytes
// match like any other byte. Each row of the message's header table stands for one
// (data_email_p.h).
class ExtractHeader {
public:
    explicit ExtractHeader(const char *pattern);
    ~ExtractHeader();
    ExtractHeader(const ExtractHeader &) = delete;
    ExtractHeader &operator=(const ExtractHeader &) = delete;

    // On a match set (or append) group 1 and return true; else leave out alone.
    bool extract(const QByteArray &line, QString &out) const;
    bool extract(const QByteArray &line, QStringList &out) const;
    bool extract(const QByteArray &line, QByteArray &out) const;

private:
    bool match(const QByteArray &line, QByteArray &group) const;

    regex_t m_regex;
    bool m_ok = false;
};

// One message as fetched from a server (or an outgoing report built from one).
class DataEmailMessage : public Data {
public:
    DataEmailMessage();
    explicit DataEmailMessage(const QDomElement &e);

    QString uid;          // identity of the message on its server
    SODataArray raw;      // every byte handed to loadEmail; never stored
    QString headers;      // the header block, bytes as Latin-1
    QString body_;        // everything after the blank line, bytes as Latin-1
    QString recvfrom;     // what follows "from" in the last Received line
    QStringList delivto;  // every Delivered-To value
    QStringList recvfor;  // the token after the last "for" of each Received line
    QString x_envto;      // X-Envelope-To
    QStringList x_origto; // every X-Original...-To value
    QString resentfrom;   // Resent-From
    QString apparently;   // X-Apparently-To
    QString from;         // From
    QString to;           // To
    QString cc;           // Cc
    QString replyto;      // Reply-To, or From when there is none
    QString returnpath;   // Return-Path
    QString subject;      // Subject, undecoded
    QString date;         // Date
    QString status;       // Status
    QString priority;     // Priority
    QString arrived;      // date part of the first Received line
    QString messageID;    // Message-ID without angle brackets
    QString length;       // digits of Content-Length
    QString VLMessageID;  // value of the restore marker header "X-Velloran-ID"
    QString anonymize;    // MIME-Version, Content-* and Subject lines, each + CR LF
    QString rawTo;        // bare address of to
    QString rawCc;        // bare address of cc
    QString rawFrom;      // bare address of from
    QString rawReplyto;   // bare address of replyto
    QString bestTo;       // best guess of the address this copy was delivered to
    QString encSubject;   // subject with its encoded words decoded
    QString encFrom;      // from with its encoded words decoded
    QString mime;         // MIME-Version of an outgoing message
    QString content;      // Content-Type of an outgoing message
    QString autosub;      // Auto-Submitted of an outgoing message
    QString contentType;  // Content-Type of the loaded message
    bool attachments;     // the message looks as if it has attachments
    bool seen;            // set and read by the mail list
    // Identity of the account (and server) the message came from, set by whoever
    // fetched it; part of unique(), kept in memory only.
    QString account;
    // Size in bytes of the message on its server as its client's listing gave it (POP3
    // LIST, IMAP RFC822.SIZE, the web-mail listing's content length), -1 when it gave none.
    // Unlike length it does not depend on the message's own headers; kept in memory only.
    qint64 listedSize = -1;
    // Set by the client that listed the message, kept in memory only: raw is the whole
    // message as its server holds it, not only its first lines or bytes.
    bool complete;
    // Set by the client that listed the message, kept in memory only: the server listed it
    // flagged deleted already (a session that ended early) and can only remove such
    // messages all together, so its row comes up marked for deletion.
    bool flaggedDeleted;

    void loadEmail(const SODataArray &bytes);
    void extract(const QByteArray &line);
    [[nodiscard]] QString getBestTo() const;
    [[nodiscard]] QString identifier() const;
    [[nodiscard]] QString unique() const;
    [[nodiscard]] QString showTo() const;
    [[nodiscard]] QString body() const;

    // Fills report as the SpamCop report of this message, from sender to recipient.
    void spamCopMessage(DataEmailMessage &report, const QString &sender, const QString &recipient) const;
    // Fills bounce as a "User unknown" delivery report of this message and sets the
    // envelope addresses for the SMTP conversation.
    void bounceMessage(DataEmailMessage &bounce, QString &envelopeFrom, QString &envelopeTo) const;

    VL_DATA_OVERRIDES
};

// The scan verdict of one message and the actions chosen for it.
class DataEmailStatus : public Data {
public:
    enum Bayes { Spam = 1, Legitimate = 2 };
    // Where the verdict came from (klass), by the numbers the record stores.
    enum Klass : int {
        KlassNone = 0,  // no verdict yet: only such a message takes a DNS blacklist's answer
        KlassJunk = 1,  // the classifier, the virus heuristics or the user's learning tick
        KlassLegit = 2, // the classifier or the user's learning tick
        KlassFriend = 3,
        KlassBlacklist = 4,
        KlassFilter = 5, // a user filter
        KlassDNSRBL = 6, // a DNS blacklist listed the relay
        KlassTM = 7,     // the community service knows the message
    };
    // The bits of logging: what the verdict found and what processing did. The mail log
    // keeps them with these values (DataEmailSummary::logging), one letter each in
    // loggingAsText.
    enum LogBit : int {
        LogBounce = 0x001,   // a bounce went to the sender
        LogDelete = 0x002,   // deleted on the server
        LogTMFound = 0x004,  // the community service knows the message
        LogTMReport = 0x008, // reported to the community service
        LogJunkFilter = 0x010,
        LogLegitFilter = 0x020,
        LogFriend = 0x040,
        LogBlacklist = 0x080,
        LogPossibleSpam = 0x100, // the classifier undecided, but leaning to junk
        LogProbableSpam = 0x200, // the classifier's junk
        LogDNSRBL = 0x400,
    };
    // The verdicts that call a message legitimate, and those that filter it out as junk.
    static constexpr int LogLegitVerdicts = LogLegitFilter | LogFriend;
    static constexpr int LogJunkVerdicts =
        LogJunkFilter | LogBlacklist | LogPossibleSpam | LogProbableSpam | LogDNSRBL;

    DataEmailStatus();

    int state;
    int delete_;
    int bounce;
    int learnLegit;
    int learnSpam;
    bool isFriend;
    bool isBlacklist;
    bool markFriend;
    bool markBlacklist;
    bool scanned;
    int logging; // LogBit values
    bool isNew;
    bool autoDelete;
    QString status;
    QString reason;
    QString fgColor;
    QString bgColor;
    QString stColor;
    int klass; // a Klass value
    int bayesRaw;
    int bayesCategory;
    float bayesProb; // set by the scanner, never stored
    float virusProb; // set by the scanner, never stored
    bool hide;

    [[nodiscard]] QString loggingAsText() const;

    VL_DATA_OVERRIDES
};

// One line of the mail log.
class DataEmailSummary : public Data {
public:
    static constexpr unsigned long Version = 0x200;
    static constexpr unsigned long RecordMagic = 0xabcd0123;
    static constexpr unsigned long SentinelMagic = 0x9876cdef;
    // Longest line, LF included, that load reads whole and dump writes.
    static constexpr int MaxLine = 15998;

    DataEmailSummary();
    DataEmailSummary(const DataEmailMessage &message, const DataEmailStatus &status, long when);

    unsigned long magic; // as read by load; never stored
    QString uid;
    long processed; // seconds since 1970
    QString from;
    QString subject;
    QString status;
    int logging; // DataEmailStatus::LogBit values, the union of every update
    QString ident;
    QString to;
    QString encSubject;
    QString encFrom;

    // Writes the record as one LF-ended line of at most MaxLine bytes.
    void dump(QIODevice &file) const;
    // Reads one line; false at the end, on a read error or a damaged line.
    bool load(QIODevice &file);
    // Writes the end-sentinel line.
    static void terminate(QIODevice &file);
    [[nodiscard]] bool isSentinel() const { return magic == SentinelMagic; }

    // The line dump writes, LF included.
    [[nodiscard]] QByteArray toLine() const;

    VL_DATA_OVERRIDES
};

// The text between the first "<" and the last ">" after it, or the value unchanged: the
// bare address of "Name <address>".
QString bareAddress(const QString &value);
// Decodes the RFC 2047 encoded words of a header value (bytes as received); the rest
// of the value is taken as Latin-1.
QString getEncodedText(const QByteArray &value);
// Base64 of an encoded word; returns the number of bytes written to dst (at most count).
int kbB64Decode(const unsigned char *src, int count, unsigned char *dst);
// The Q encoding of an encoded word ("=XX" escapes, "_" for a blank); returns the
// number of bytes written to dst (at most count).
int kbQPDecode(const unsigned char *src, int count, unsigned char *dst);
// 0-15 for a hex digit, 0 for any other character.
int hexval(int c);
