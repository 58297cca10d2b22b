#pragma once
// Tolerant reading of the free-form dates that mail headers carry, and a small
// strftime-like language for showing a date and time.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

// One token of a date text: a run of ASCII digits or a run of ASCII letters.
struct DTToken {
    char sep = ' ';     // the last character before the token that was neither letter nor digit
    QString text;       // the run itself
    bool isNum = false; // digits (else letters)
    long value = 0; // a digit run's number (saturated), or a letter run's index in the name table (-1: none)
};

// A date and a time read from header text (either half may be missing), or given whole.
class VLDateTime {
public:
    // How short all-numeric dates such as 02/01/06 are read.
    enum DateOrder { DayFirst = 0, MonthFirst = 1 };

    explicit VLDateTime(const QString &text);
    explicit VLDateTime(const QDateTime &dateTime);
    virtual ~VLDateTime();
    VLDateTime(const VLDateTime &) = default;
    VLDateTime &operator=(const VLDateTime &) = default;

    [[nodiscard]] QDate getDate() const { return m_date; }
    [[nodiscard]] QTime getTime() const { return m_time; }
    // True when a whole date or a whole time was read (or the given date-time was valid).
    [[nodiscard]] bool isValid() const { return m_valid; }
    // Expands the conversions of fmt ("%D %R" gives 01/02/06 10:20); an object that is not
    // valid gives its source text unchanged.
    [[nodiscard]] virtual QString format(const QString &fmt) const;

    // Process-wide; day first until changed.
    static void setDateOrder(DateOrder order);

private:
    struct Fields {
        std::optional<long> year, month, day, hour, minute, second;
        std::optional<bool> pm;
    };

    void parse(const QByteArray &text);
    [[nodiscard]] bool parseSingle(const DTToken &token, Fields &f) const;
    [[nodiscard]] bool complete(Fields &f);

    QDate m_date;
    QTime m_time;
    QByteArray m_source;
    bool m_valid = false;
};

// 1 to 7 (Monday to Sunday): the English name, or its first three letters; "???" otherwise.
QString weekDayName(int day, bool abbreviated);
// 1 to 12: the English month name, or its first three letters; "???" otherwise.
QString monthName(int month, bool abbreviated);
// "YYYY-MM-DD"; a null date reads as all zeros.
QString formatDate(const QDate &date);
// "hh:mm:ss"; a null time reads as all zeros.
QString formatTime(const QTime &time);
// The index of the first name of the date name table that word stands for, else -1.
int getName(const char *word);
// A year token's number: two-character years below 70 are 20xx, the others 19xx; longer or
// shorter texts count as written.
long fixYear(const DTToken *token);
