#include "VLDateTime.h"

#include <array>
#include <cstring>

namespace {

// Searched in this order; a letter token's value is its index here.
constexpr std::array<const char *, 30> kNames = {
    "sunday",   "monday",   "tuesday",  "wednesday", "thursday", "friday", "saturday", "january",
    "february", "march",    "april",    "may",       "june",     "july",   "august",   "september",
    "october",  "november", "december", "am",        "pm",       "gmt",    "pst",      "bst",
    "edt",      "st",       "nd",       "rd",        "th",       "ut"};
constexpr int kJanuary = 7;
constexpr int kDecember = 18;
constexpr int kAm = 19;
constexpr int kPm = 20;
constexpr int kMonthOffset = 6; // month number = index - 6

// Numbers past this cannot be a valid field of any kind; saturating keeps a hostile run of
// digits from overflowing.
constexpr long kNumberCap = 1000000000L;
// Longest unknown word still taken for a time-zone name after a time ("EST", "CEST", "Z").
constexpr qsizetype kMaxZoneWord = 5;

VLDateTime::DateOrder g_dateOrder = VLDateTime::DayFirst;

// Letters and digits are ASCII only, so no result depends on the user's locale.
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

long decimalValue(QStringView digits) {
    long value = 0;
    for (const QChar ch : digits) {
        const int d = ch.unicode() - '0';
        if (d < 0 || d > 9)
            break;
        value = value * 10 + d;
        if (value >= kNumberCap)
            return kNumberCap;
    }
    return value;
}

// A date's and a time's fields, null halves reading as zeros (the date library would give
// -1 for a null time, which no formatted field should show).
struct Parts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, dayOfYear = 0, dayOfWeek = 0;
};

Parts partsOf(const QDate &date, const QTime &time) {
    Parts p;
    if (date.isValid()) {
        p.year = date.year();
        p.month = date.month();
        p.day = date.day();
        p.dayOfYear = date.dayOfYear();
        p.dayOfWeek = date.dayOfWeek();
    }
    if (time.isValid()) {
        p.hour = time.hour();
        p.minute = time.minute();
        p.second = time.second();
    }
    return p;
}

enum Field { Year = 0, Month, Day, Hour, Minute, Second, DayOfYear, DayOfWeek, Composite = 99 };

struct DTItem {
    char c;
    int field;
    int modifier; // > 0: modulo it; < 0: divide by its magnitude; 0: as it is
    const char *format;
};

constexpr std::array<DTItem, 20> kItems = {{
    {'C', Year, -100, "%02d"},
    {'d', Day, 0, "%02d"},
    {'e', Day, 0, "%d"},
    {'H', Hour, 0, "%02d"},
    {'I', Hour, 12, "%02d"},
    {'j', DayOfYear, 0, "%03d"},
    {'k', Hour, 0, "%2d"},
    {'l', Hour, 12, "%2d"},
    {'m', Month, 0, "%02d"},
    {'M', Minute, 0, "%02d"},
    {'S', Second, 0, "%02d"},
    {'u', DayOfWeek, 0, "%d"},
    {'y', Year, 100, "%02d"},
    {'Y', Year, 0, "%04d"},
    {'c', Composite, 0, "%x %X"},
    {'D', Composite, 0, "%m/%d/%y"},
    {'r', Composite, 0, "%I:%M:%S %p"},
    {'R', Composite, 0, "%H:%M"},
    {'T', Composite, 0, "%H:%M:%S"},
    {'+', Composite, 0, "%a %b %e %T %Z %Y"},
}};

const DTItem *findItem(char c) {
    // Built on first use: conversion character to its row.
    static const auto map = [] {
        std::array<const DTItem *, 128> m{};
        for (const DTItem &item : kItems)
            m[static_cast<unsigned char>(item.c)] = &item;
        return m;
    }();
    const auto u = static_cast<unsigned char>(c);
    return u < map.size() ? map[u] : nullptr;
}

int fieldValue(const Parts &p, int field) {
    switch (field) {
    case Year:
        return p.year;
    case Month:
        return p.month;
    case Day:
        return p.day;
    case Hour:
        return p.hour;
    case Minute:
        return p.minute;
    case Second:
        return p.second;
    case DayOfYear:
        return p.dayOfYear;
    case DayOfWeek:
        return p.dayOfWeek;
    default:
        return 0;
    }
}

bool isLeapYear(long year) {
    return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0);
}

int daysInMonth(long year, long month) {
    static constexpr std::array<int, 12> mDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2)
        return isLeapYear(year) ? 29 : 28;
    return mDays[size_t(month - 1)];
}

} // namespace

VLDateTime::VLDateTime(const QString &text) {
    m_source = text.toLatin1();
    parse(m_source);
}

VLDateTime::VLDateTime(const QDateTime &dateTime)
    : m_date(dateTime.date()), m_time(dateTime.time()), m_valid(dateTime.isValid()) {
    const Parts p = partsOf(m_date, m_time);
    m_source =
        QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second)
            .toLatin1();
}

VLDateTime::~VLDateTime() = default;

void VLDateTime::setDateOrder(DateOrder order) {
    g_dateOrder = order;
}

void VLDateTime::parse(const QByteArray &text) {
    QList<DTToken> tokens;
    char sep = ' ';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const char c = text[i];
        if (c == '(') {
            // Comments such as "(PST)" say nothing the rest does not.
            const qsizetype close = text.indexOf(')', i + 1);
            i = close < 0 ? n : close + 1;
            continue;
        }
        const bool digit = isDigit(c);
        if (!digit && !isLetter(c)) {
            sep = c;
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < n && (digit ? isDigit(text[i]) : isLetter(text[i])))
            ++i;
        DTToken token;
        token.sep = sep;
        token.text = QString::fromLatin1(text.constData() + start, i - start);
        token.isNum = digit;
        // An unknown word is judged by where it stands: a zone name after a time passes.
        token.value = digit ? decimalValue(token.text) : getName(text.mid(start, i - start).constData());
        tokens.append(token);
    }

    Fields f;
    if (tokens.size() == 1) {
        if (!parseSingle(tokens.first(), f))
            return;
        m_valid = complete(f);
        return;
    }

    // What the last rule read, for telling a zone name from a stray word.
    enum class Last { Other, Time, Zone } last = Last::Other;
    auto set = [](std::optional<long> &field, long value) {
        if (field)
            return false;
        field = value;
        return true;
    };
    const qsizetype count = tokens.size();
    for (qsizetype k = 0; k < count;) {
        const DTToken *t0 = &tokens[k];
        const DTToken *t1 = k + 1 < count ? &tokens[k + 1] : nullptr;
        const DTToken *t2 = k + 2 < count ? &tokens[k + 2] : nullptr;
        const DTToken *t3 = k + 3 < count ? &tokens[k + 3] : nullptr;
        const bool name1 = t1 && !t1->isNum && t1->value >= 0;

        // A numeric zone offset, "+0100" or "-08:00".
        if (t0->isNum && (t0->sep == '+' || t0->sep == '-')) {
            k += (t1 && t1->isNum && t1->sep == ':') ? 2 : 1;
            last = Last::Zone;
            continue;
        }
        // hh:mm:ss, with an ignored fraction of a second.
        if (t2 && t0->isNum && t1->isNum && t2->isNum && t1->sep == ':' && t2->sep == ':') {
            if (!set(f.hour, t0->value) || !set(f.minute, t1->value) || !set(f.second, t2->value))
                return;
            k += (t3 && t3->sep == '.') ? 4 : 3;
            last = Last::Time;
            continue;
        }
        // 02-Jan-2006
        if (t2 && t0->isNum && name1 && t2->isNum && t1->sep == '-' && t2->sep == '-') {
            if (!set(f.day, t0->value) || !set(f.month, t1->value - kMonthOffset) ||
                !set(f.year, fixYear(t2)))
                return;
            k += 3;
            last = Last::Other;
            continue;
        }
        // 2006-01-02, 02/01/2006, 02.01.06
        if (t2 && t0->isNum && t1->isNum && t2->isNum && t1->sep == t2->sep &&
            (t1->sep == '-' || t1->sep == '/' || t1->sep == '.')) {
            bool ok;
            if (t0->text.size() > 2)
                ok = set(f.year, fixYear(t0)) && set(f.month, t1->value) && set(f.day, t2->value);
            else if (g_dateOrder == DayFirst)
                ok = set(f.year, fixYear(t2)) && set(f.month, t1->value) && set(f.day, t0->value);
            else
                ok = set(f.year, fixYear(t2)) && set(f.month, t0->value) && set(f.day, t1->value);
            if (!ok)
                return;
            k += 3;
            last = Last::Other;
            continue;
        }
        // hh:mm
        if (t1 && t0->isNum && t1->isNum && t1->sep == ':') {
            if (!set(f.hour, t0->value) || !set(f.minute, t1->value) || !set(f.second, 0))
                return;
            k += 2;
            last = Last::Time;
            continue;
        }
        if (t0->isNum) {
            const qsizetype digits = t0->text.size();
            if (digits <= 2) {
                if (!set(f.day, t0->value))
                    return;
            } else if (digits <= 4) {
                if (!set(f.year, t0->value))
                    return;
            } else {
                return;
            }
            k += 1;
            last = Last::Other;
            continue;
        }
        // A word.
        if (t0->value < 0) {
            // Only a short word right after a time or a numeric zone is a zone name.
            if (t0->text.size() > kMaxZoneWord || last == Last::Other)
                return;
            last = Last::Other;
        } else if (t0->value >= kJanuary && t0->value <= kDecember) {
            if (!set(f.month, t0->value - kMonthOffset))
                return;
            last = Last::Other;
        } else if (t0->value == kAm || t0->value == kPm) {
            if (f.pm)
                return;
            f.pm = t0->value == kPm;
            // "3:04 pm EST": the mark belongs to the time before it.
        } else {
            last = Last::Other;
        }
        k += 1;
    }
    m_valid = complete(f);
}

bool VLDateTime::parseSingle(const DTToken &token, Fields &f) const {
    if (!token.isNum)
        return false;
    if (token.text.size() == 8) {
        f.year = decimalValue(QStringView(token.text).mid(0, 4));
    } else if (token.text.size() == 6) {
        DTToken year;
        year.text = token.text.left(2);
        f.year = fixYear(&year);
    } else {
        return false;
    }
    const qsizetype at = token.text.size() - 4;
    f.month = decimalValue(QStringView(token.text).mid(at, 2));
    f.day = decimalValue(QStringView(token.text).mid(at + 2, 2));
    return true;
}

bool VLDateTime::complete(Fields &f) {
    if (f.hour && f.pm) {
        // 12 am is midnight and 12 pm noon; any larger hour cannot carry the mark.
        if (*f.hour > 12)
            return false;
        if (*f.hour == 12)
            f.hour = *f.pm ? 12 : 0;
        else if (*f.pm)
            f.hour = *f.hour + 12;
    }
    if (f.year && f.month && f.day) {
        const long y = *f.year, m = *f.month, d = *f.day;
        if (y < 1752 || y > 8000 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
            return false;
        m_date = QDate(int(y), int(m), int(d));
    }
    if (f.hour && f.minute && f.second) {
        if (*f.hour > 23 || *f.minute > 59 || *f.second > 59)
            return false;
        m_time = QTime(int(*f.hour), int(*f.minute), int(*f.second));
    }
    return m_date.isValid() || m_time.isValid();
}

namespace {

// printf's "%d", "%Nd" and "%0Nd" without its cost: tables format thousands of dates.
void appendNumber(QString &out, int value, const char *spec) {
    bool zero = false;
    int width = 0;
    for (const char *c = spec + 1; *c >= '0' && *c <= '9'; ++c) {
        if (*c == '0' && width == 0)
            zero = true;
        else
            width = width * 10 + (*c - '0');
    }
    char digits[16];
    int n = 0;
    unsigned magnitude = value < 0 ? 0U - unsigned(value) : unsigned(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const int length = n + (value < 0 ? 1 : 0);
    if (!zero)
        for (int i = length; i < width; ++i)
            out += QLatin1Char(' ');
    if (value < 0)
        out += QLatin1Char('-');
    if (zero)
        for (int i = length; i < width; ++i)
            out += QLatin1Char('0');
    while (n > 0)
        out += QLatin1Char(digits[--n]);
}

void expand(QString &out, const QString &fmt, const Parts &p, const QDate &date, const QTime &time);

void appendConversion(QString &out, char c, const Parts &p, const QDate &date, const QTime &time) {
    if (const DTItem *item = findItem(c)) {
        if (item->field == Composite) {
            expand(out, QString::fromLatin1(item->format), p, date, time);
            return;
        }
        int value = fieldValue(p, item->field);
        if (item->modifier > 0) {
            value %= item->modifier;
            // On a 12-hour clock midnight and noon read 12.
            if (item->field == Hour && value == 0)
                value = 12;
        } else if (item->modifier < 0) {
            value /= -item->modifier;
        }
        appendNumber(out, value, item->format);
        return;
    }
    switch (c) {
    case 'A':
    case 'a':
        out += weekDayName(p.dayOfWeek, c == 'a');
        break;
    case 'B':
        out += monthName(p.month, false);
        break;
    case 'b':
    case 'h':
        out += monthName(p.month, true);
        break;
    case 'p':
        out += p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        break;
    case 'P':
        out += p.hour < 12 ? QStringLiteral("am") : QStringLiteral("pm");
        break;
    case 'x':
        out += formatDate(date);
        break;
    case 'X':
        out += formatTime(time);
        break;
    case 'n':
        out += QLatin1Char('\n');
        break;
    case 't':
        out += QLatin1Char('\t');
        break;
    case '%':
        out += QLatin1Char('%');
        break;
    default:
        break; // unknown conversions, "%Z" among them, give nothing
    }
}

void expand(QString &out, const QString &fmt, const Parts &p, const QDate &date, const QTime &time) {
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != QLatin1Char('%')) {
            out.append(fmt[i]);
            continue;
        }
        if (++i == fmt.size())
            break;
        appendConversion(out, fmt[i].toLatin1(), p, date, time);
    }
}

} // namespace

QString VLDateTime::format(const QString &fmt) const {
    if (!m_valid)
        return QString::fromLatin1(m_source);
    QString out;
    out.reserve(fmt.size() * 2);
    expand(out, fmt, partsOf(m_date, m_time), m_date, m_time);
    return out;
}

QString weekDayName(int day, bool abbreviated) {
    static constexpr std::array<const char *, 7> names = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                          "Friday", "Saturday", "Sunday"};
    if (day < 1 || day > 7)
        return QStringLiteral("???");
    const QString name = QString::fromLatin1(names[size_t(day - 1)]);
    return abbreviated ? name.left(3) : name;
}

QString monthName(int month, bool abbreviated) {
    if (month < 1 || month > 12)
        return QStringLiteral("???");
    QString name = QString::fromLatin1(kNames[size_t(kJanuary + month - 1)]);
    name[0] = name[0].toUpper();
    return abbreviated ? name.left(3) : name;
}

QString formatDate(const QDate &date) {
    const Parts p = partsOf(date, QTime());
    return QString::asprintf("%04d-%02d-%02d", p.year, p.month, p.day);
}

QString formatTime(const QTime &time) {
    const Parts p = partsOf(QDate(), time);
    return QString::asprintf("%02d:%02d:%02d", p.hour, p.minute, p.second);
}

int getName(const char *word) {
    if (!word)
        return -1;
    const size_t length = std::strlen(word);
    for (size_t i = 0; i < kNames.size(); ++i) {
        const char *name = kNames[i];
        const size_t nameLength = std::strlen(name);
        // Two-letter names only match themselves; longer ones match an abbreviation of three
        // letters or more ("Sept", "thu"), never a longer word ("mayday").
        if (nameLength == 2 ? length != 2 : (length <= 2 || length > nameLength))
            continue;
        size_t j = 0;
        while (j < length && asciiLower(word[j]) == name[j])
            ++j;
        if (j == length)
            return int(i);
    }
    return -1;
}

long fixYear(const DTToken *token) {
    if (!token)
        return 0;
    const long value = decimalValue(token->text);
    if (token->text.size() == 2)
        return value < 70 ? value + 2000 : value + 1900;
    return value;
}
