// The record base: DOM helpers, member conventions, checks, prints, error report, log-line
// splitting and whole record files.
#include "record_xml_p.h"
#include "test_record.h"
#include "trial/trial_runner.h"

#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

using vltest::TestItem;
using vltest::TestRecord;

namespace {

QDomDocument parse(const QString &xml) {
    QDomDocument document;
    EXPECT_TRUE(document.setContent(xml, false)) << xml.toStdString();
    return document;
}

// Element-only documents written back compactly, to compare structure in a table.
QString compact(const QDomNode &node) {
    if (node.isText())
        return QStringLiteral("'%1'").arg(node.nodeValue());
    QString out = node.nodeName();
    if (node.hasChildNodes()) {
        QStringList children;
        for (QDomNode n = node.firstChild(); !n.isNull(); n = n.nextSibling())
            children.append(compact(n));
        out += QStringLiteral("(%1)").arg(children.join(u' '));
    }
    return out;
}

std::string str(const QString &s) {
    return s.toStdString();
}

// Table rows print as their label (test names and failure messages).
template <class Case>
requires requires(const Case &c) {
    c.label;
}
void PrintTo(const Case &c, std::ostream *os) {
    *os << c.label;
}

TestRecord everyKind() {
    TestRecord r;
    r.flag = true;
    r.number = -42;
    r.big = 9000000000L;
    r.title = QStringLiteral("Grüße & <tags> \"quoted\"\ttab\nline\rcr");
    r.words = QStringList{QStringLiteral("alpha"), QStringLiteral("beta gamma"), QStringLiteral("ü")};
    r.section.enabled = true;
    r.section.colour = QStringLiteral("#ffc8c8");
    TestItem a;
    a.text = QStringLiteral("first");
    a.count = 1;
    TestItem b;
    b.text = QStringLiteral("second ]]> end");
    b.count = 2;
    r.items = {a, b};
    r.body = QStringLiteral(
        "Received: from x\r\n\tby y\r\nSubject: =?utf-8?q?hi?=\r\n\r\nbody <b>&amp;</b> \u20ac");
    return r;
}

// ---------------------------------------------------------------- DOM helpers

struct DomCase {
    const char *label;
    const char *parent; // the parent element's XML
    std::function<QString(QDomElement)> op;
    const char *result; // what op returns
    const char *after;  // the parent afterwards, compacted
};

class DomHelpers : public ::testing::TestWithParam<DomCase> {};

TEST_P(DomHelpers, Table) {
    const DomCase &c = GetParam();
    QDomDocument document = parse(QString::fromUtf8(c.parent));
    QDomElement parent = document.documentElement();
    EXPECT_EQ(str(c.op(parent)), c.result);
    EXPECT_EQ(str(compact(parent)), c.after);
}

QString describe(const QDomElement &e) {
    if (e.isNull())
        return QStringLiteral("null");
    return e.tagName() + u'#' + e.attribute(QStringLiteral("n"));
}

const DomCase kDomCases[] = {
    {"MakeElementReturnsFirstOfTwo", "<p><a n='1'/><b/><a n='2'/></p>",
     [](QDomElement p) { return describe(Data::makeElement(p, "a")); }, "a#1", "p(a b a)"},
    {"MakeElementAppendsWhenMissing", "<p><b/>text</p>",
     [](QDomElement p) { return describe(Data::makeElement(p, "a")); }, "a#", "p(b 'text' a)"},
    {"MakeElementIsCaseSensitive", "<p><A/></p>",
     [](QDomElement p) { return describe(Data::makeElement(p, "a")); }, "a#", "p(A a)"},
    {"FindElementFindsFirst", "<p><a n='1'/><a n='2'/></p>",
     [](QDomElement p) { return describe(Data::findElement(p, "a")); }, "a#1", "p(a a)"},
    {"FindElementCreatesNothing", "<p><b/></p>",
     [](QDomElement p) { return describe(Data::findElement(p, "a")); }, "null", "p(b)"},
    {"FindElementInNullParent", "<p/>",
     [](QDomElement) { return describe(Data::findElement(QDomElement(), "a")); }, "null", "p"},
    {"MakeTextAppendsLast", "<p><a/><b/></p>",
     [](QDomElement p) {
         Data::makeText(p, "t", QStringLiteral("x"));
         return QString();
     },
     "", "p(a b t('x'))"},
    {"MakeTextTwiceLeavesOneLast", "<p><a/></p>",
     [](QDomElement p) {
         Data::makeText(p, "t", QStringLiteral("one"));
         Data::makeElement(p, "b");
         Data::makeText(p, "t", QStringLiteral("two"));
         return QString();
     },
     "", "p(a b t('two'))"},
    {"MakeTextReplacesOnlyTheFirst", "<p><t>1</t><t>2</t></p>",
     [](QDomElement p) {
         Data::makeText(p, "t", QStringLiteral("3"));
         return QString();
     },
     "", "p(t('2') t('3'))"},
    {"GetTextFirstChildOfFirstElement", "<p><t>one</t><t>two</t></p>",
     [](QDomElement p) { return Data::getText(p, "t"); }, "one", "p(t('one') t('two'))"},
    {"GetTextMissingIsNull", "<p><u>x</u></p>",
     [](QDomElement p) { return Data::getText(p, "t").isNull() ? QStringLiteral("null") : QString(); },
     "null", "p(u('x'))"},
    {"GetTextOfEmptyElementIsNull", "<p><t/></p>",
     [](QDomElement p) { return Data::getText(p, "t").isNull() ? QStringLiteral("null") : QString(); },
     "null", "p(t)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DomHelpers, ::testing::ValuesIn(kDomCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(DomHelpersText, EmptyTextReadsBackNull) {
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("name"));
    document.appendChild(root);
    Data::makeText(root, "body", QString(QLatin1String("")));
    ASSERT_EQ(str(compact(root)), "name(body(''))");
    const QDomDocument back = parse(QString::fromUtf8(RecordXml::serialize(document)));
    EXPECT_TRUE(Data::getText(back.documentElement(), "body").isNull());
}

// ---------------------------------------------------------------- splitLine

struct SplitCase {
    const char *label;
    std::string line; // may hold NULs
    long length;      // -1: line.size()
    std::vector<std::string> pieces;
};

class SplitLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLine, Table) {
    const SplitCase &c = GetParam();
    // The buffer is exactly as long as said: anything read past it shows under ASan.
    const long length = c.length < 0 ? long(c.line.size()) : c.length;
    std::vector<char> buffer(c.line.begin(), c.line.begin() + length);
    QList<QByteArray> fields{QByteArray("kept")};
    Data::splitLine(buffer.data(), length, fields);
    ASSERT_EQ(fields.size(), qsizetype(c.pieces.size() + 1));
    EXPECT_EQ(fields.first(), QByteArray("kept")) << "pieces are appended";
    for (size_t i = 0; i < c.pieces.size(); ++i)
        EXPECT_EQ(fields.at(qsizetype(i + 1)).toStdString(), c.pieces[i]) << i;
}

const SplitCase kSplitCases[] = {
    {"EmptyPieceKeptNewlineCut", "a&&b\n", -1, {"a", "", "b"}},
    {"NoAmpersand", "whole line", -1, {"whole line"}},
    {"LeadingAndTrailing", "&x&", -1, {"", "x", ""}},
    {"OnlyNewline", "\n", -1, {""}},
    {"NewlineOnlyCutAtTheEnd", "a\nb&c", -1, {"a\nb", "c"}},
    {"CrKept", "a&b\r\n", -1, {"a", "b\r"}},
    {"NoNulTerminatorInBuffer", "1&2&3", -1, {"1", "2", "3"}},
    {"NulEndsTheLine", std::string("a&b\0&c", 6), -1, {"a", "b"}},
    {"LengthShorterThanText", "a&b&c", 3, {"a", "b"}},
    {"ZeroLength", "ignored", 0, {""}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitLine, ::testing::ValuesIn(kSplitCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(SplitLineBuffer, NewlineIsReplacedInPlace) {
    char line[] = "x&y\n";
    QList<QByteArray> fields;
    Data::splitLine(line, 4, fields);
    EXPECT_EQ(line[3], '\0');
    EXPECT_EQ(fields, (QList<QByteArray>{"x", "y"}));
}

// ---------------------------------------------------------------- member conventions

// How a member of each kind reads an attribute (or its absence).
struct ReadCase {
    const char *label;
    const char *attribute; // nullptr: absent
    bool asBool;
    int asInt;
    long asLong;
    const char *asText; // nullptr: null string
    std::vector<const char *> asList;
};

class MemberRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(MemberRead, Table) {
    const ReadCase &c = GetParam();
    QDomDocument document;
    QDomElement e = document.createElement(QStringLiteral("e"));
    if (c.attribute)
        e.setAttribute(QStringLiteral("m"), QString::fromUtf8(c.attribute));
    bool b = !c.asBool;
    int i = -1;
    long l = -1;
    QString s = QStringLiteral("old");
    QStringList list{QStringLiteral("old")};
    Data::setupItem(e, "m", b);
    Data::setupItem(e, "m", i);
    Data::setupItem(e, "m", l);
    Data::setupItem(e, "m", s);
    Data::setupItem(e, "m", list);
    EXPECT_EQ(b, c.asBool);
    EXPECT_EQ(i, c.asInt);
    EXPECT_EQ(l, c.asLong);
    if (c.asText)
        EXPECT_EQ(str(s), c.asText);
    else
        EXPECT_TRUE(s.isNull());
    QStringList expected;
    for (const char *item : c.asList)
        expected.append(QString::fromUtf8(item));
    EXPECT_EQ(list, expected);
}

const ReadCase kReadCases[] = {
    {"Absent", nullptr, false, 0, 0, nullptr, {}},
    {"Empty", "", false, 0, 0, "", {}},
    {"Zero", "0", false, 0, 0, "0", {"0"}},
    {"One", "1", true, 1, 1, "1", {"1"}},
    {"BoolTwoIsTrue", "2", true, 2, 2, "2", {"2"}},
    {"Negative", "-7", true, -7, -7, "-7", {"-7"}},
    {"WordTrueIsNotANumber", "true", false, 0, 0, "true", {"true"}},
    {"LongBeyondInt", "9000000000", false, 0, 9000000000L, "9000000000", {"9000000000"}},
    {"ListDropsEmptyItems", "|a||b|", false, 0, 0, "|a||b|", {"a", "b"}},
    {"HexIsNotDecimal", "0x10", false, 0, 0, "0x10", {"0x10"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, MemberRead, ::testing::ValuesIn(kReadCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(MemberWrite, AttributesAsTheConventionsSay) {
    QDomDocument document;
    QDomElement e = document.createElement(QStringLiteral("e"));
    Data::storeItem(e, "t", true);
    Data::storeItem(e, "f", false);
    Data::storeItem(e, "i", -12);
    Data::storeItem(e, "l", 9000000000L);
    Data::storeItem(e, "s", QStringLiteral("as is | & <"));
    Data::storeItem(e, "c", "literal");
    Data::storeItem(e, "list", QStringList{QStringLiteral("a"), QStringLiteral("b c")});
    Data::storeItem(e, "none", QStringList{});
    const std::pair<const char *, const char *> expected[] = {
        {"t", "1"},           {"f", "0"},       {"i", "-12"},      {"l", "9000000000"},
        {"s", "as is | & <"}, {"c", "literal"}, {"list", "a|b c"}, {"none", ""},
    };
    for (const auto &[name, value] : expected)
        EXPECT_EQ(str(e.attribute(QString::fromLatin1(name))), value) << name;
}

// ---------------------------------------------------------------- checks

struct CheckCase {
    const char *label;
    const char *attribute; // nullptr: absent
    std::function<void(const QDomElement &, QStringList &)> check;
    std::vector<const char *> errors;
};

class CheckItem : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckItem, Table) {
    const CheckCase &c = GetParam();
    QDomDocument document;
    QDomElement e = document.createElement(QStringLiteral("e"));
    if (c.attribute)
        e.setAttribute(QStringLiteral("m"), QString::fromUtf8(c.attribute));
    QStringList errors{QStringLiteral("earlier")};
    c.check(e, errors);
    QStringList expected{QStringLiteral("earlier")};
    for (const char *text : c.errors)
        expected.append(QString::fromUtf8(text));
    EXPECT_EQ(errors, expected);
}

const CheckCase kCheckCases[] = {
    {"TextEqual", "abc", [](auto &e, auto &r) { Data::checkItem(e, "m", QStringLiteral("abc"), r); }, {}},
    {"TextDiffers",
     "abc",
     [](auto &e, auto &r) { Data::checkItem(e, "m", QStringLiteral("abd"), r); },
     {"m: got [abd] expected [abc]"}},
    {"EmptyTextAbsentAttribute",
     nullptr,
     [](auto &e, auto &r) { Data::checkItem(e, "m", QString(), r); },
     {}},
    {"EmptyTextEmptyAttribute",
     "",
     [](auto &e, auto &r) { Data::checkItem(e, "m", QString(QLatin1String("")), r); },
     {}},
    {"TextAgainstAbsent",
     nullptr,
     [](auto &e, auto &r) { Data::checkItem(e, "m", QStringLiteral("x"), r); },
     {"m: got [x] expected []"}},
    {"BoolTrue", "1", [](auto &e, auto &r) { Data::checkItem(e, "m", true, r); }, {}},
    {"BoolTwoIsReported",
     "2",
     [](auto &e, auto &r) { Data::checkItem(e, "m", true, r); },
     {"m: got [1] expected [2]"}},
    {"BoolFalseAbsent", nullptr, [](auto &e, auto &r) { Data::checkItem(e, "m", false, r); }, {}},
    {"BoolTrueAbsent",
     nullptr,
     [](auto &e, auto &r) { Data::checkItem(e, "m", true, r); },
     {"m: got [1] expected [0]"}},
    {"IntZeroAbsent", nullptr, [](auto &e, auto &r) { Data::checkItem(e, "m", 0, r); }, {}},
    {"IntDiffers",
     "-5",
     [](auto &e, auto &r) { Data::checkItem(e, "m", 5, r); },
     {"m: got [5] expected [-5]"}},
    {"LongEqual", "9000000000", [](auto &e, auto &r) { Data::checkItem(e, "m", 9000000000L, r); }, {}},
    {"LongDiffers",
     "9000000001",
     [](auto &e, auto &r) { Data::checkItem(e, "m", 9000000000L, r); },
     {"m: got [9000000000] expected [9000000001]"}},
    {"ListEqual",
     "a|b",
     [](auto &e, auto &r) {
         Data::checkItem(e, "m", QStringList{QStringLiteral("a"), QStringLiteral("b")}, r);
     },
     {}},
    {"ListEqualWithEmptyItems",
     "|a||b",
     [](auto &e, auto &r) {
         Data::checkItem(e, "m", QStringList{QStringLiteral("a"), QStringLiteral("b")}, r);
     },
     {}},
    {"ListShorter",
     "a",
     [](auto &e, auto &r) {
         Data::checkItem(e, "m", QStringList{QStringLiteral("a"), QStringLiteral("b")}, r);
     },
     {"m: got [a|b] expected [a]"}},
    {"ListItemDiffers",
     "a|c",
     [](auto &e, auto &r) {
         Data::checkItem(e, "m", QStringList{QStringLiteral("a"), QStringLiteral("b")}, r);
     },
     {"m: got [a|b] expected [a|c]"}},
    {"EmptyListAbsent", nullptr, [](auto &e, auto &r) { Data::checkItem(e, "m", QStringList{}, r); }, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckItem, ::testing::ValuesIn(kCheckCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST(CheckText, EveryChildOfThatNameNullAndEmptyDiffer) {
    const QDomDocument document = parse(QStringLiteral("<e><t>one</t><u>x</u><t>two</t><t/></e>"));
    const QDomElement e = document.documentElement();
    QStringList errors;
    Data::checkText(e, "t", QStringLiteral("one"), errors);
    EXPECT_EQ(errors, (QStringList{QStringLiteral("t: got [one] expected [two]"),
                                   QStringLiteral("t: got [one] expected []")}));
    errors.clear();
    Data::checkText(e, "missing", QStringLiteral("anything"), errors);
    EXPECT_TRUE(errors.isEmpty()) << "no child of that name: nothing to compare";

    const QDomDocument empty = parse(QStringLiteral("<e><t/></e>"));
    errors.clear();
    Data::checkText(empty.documentElement(), "t", QString(), errors);
    EXPECT_TRUE(errors.isEmpty());
    Data::checkText(empty.documentElement(), "t", QString(QLatin1String("")), errors);
    EXPECT_EQ(errors, QStringList{QStringLiteral("t: got [] expected []")});
}

// ---------------------------------------------------------------- prints and error report

struct OutputCase {
    const char *label;
    std::function<void()> run;
    const char *output;
};

class StderrOutput : public ::testing::TestWithParam<OutputCase> {};

TEST_P(StderrOutput, Table) {
    ::testing::internal::CaptureStderr();
    GetParam().run();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), GetParam().output);
}

const QStringList kErrors{QStringLiteral("markDelete: got [1] expected [0]"),
                          QStringLiteral("action: got [2] expected [3]"),
                          QStringLiteral("markDelete: got [a] expected [b]")};

TrialRunner &runnerWithTag() {
    static TrialRunner runner;
    static bool loaded = false;
    if (!loaded) {
        vltest::TempDir dir("runner");
        vltest::writeFile(dir.file("s.xml"), "<script tag=\"dialog-7 \xc3\xa9\"/>");
        loaded = runner.load(QString::fromStdString(dir.file("s.xml")));
    }
    return runner;
}

const OutputCase kOutputCases[] = {
    {"PrintBool", [] { Data::printItem(0, "flag", true); }, "    flag: 1\n"},
    {"PrintInt", [] { Data::printItem(2, "n", -3); }, "      n: -3\n"},
    {"PrintLong", [] { Data::printItem(0, "big", 9000000000L); }, "    big: 9000000000\n"},
    {"PrintTextLatin1", [] { Data::printItem(4, "s", QStringLiteral("caf\u00e9")); }, "        s: caf\xe9\n"},
    {"PrintList",
     [] {
         Data::printItem(0, "l", QStringList{QStringLiteral("a"), QStringLiteral("b")});
     },
     "    l: a,b\n"},
    {"RecordPrint", [] { everyKind().section.print(4); },
     "    TestSection:\n        enabled: 1\n        colour: #ffc8c8\n"},
    {"ShowErrorsAll", [] { Data::showErrors("accounts", kErrors, {}); },
     "Errors: accounts:\n        markDelete: got [1] expected [0]\n        action: got [2] expected [3]\n"
     "        markDelete: got [a] expected [b]\n"},
    {"ShowErrorsIgnoresKeys", [] { Data::showErrors("accounts", kErrors, {QStringLiteral("markDelete")}); },
     "Errors: accounts:\n        action: got [2] expected [3]\n"},
    {"ShowErrorsAllIgnoredPrintsNothing",
     [] {
         Data::showErrors("x", kErrors, {QStringLiteral("markDelete"), QStringLiteral("action")});
     },
     ""},
    {"ShowErrorsNoErrors", [] { Data::showErrors("x", {}, {}); }, ""},
    {"ShowErrorsKeySkipsEmptyPieces",
     [] { Data::showErrors("x", {QStringLiteral("::k: v")}, {QStringLiteral("k")}); }, ""},
    {"ShowErrorsWithRunnerTag",
     [] { Data::showErrors(runnerWithTag(), "tools", kErrors, {QStringLiteral("markDelete")}); },
     "Errors: tools: dialog-7 \xe9\n        action: got [2] expected [3]\n"},
    {"BaseImportTraces", [] { vltest::BareRecord().import(QDomElement()); },
     "Data::import: called for 'BareRecord'\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, StderrOutput, ::testing::ValuesIn(kOutputCases),
                         [](const auto &info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- records in elements and files

TEST(RecordRoundTrip, EveryMemberKindThroughAFile) {
    vltest::TempDir dir("record");
    const QString folder = QString::fromStdString(dir.path()) + u'/';
    const TestRecord original = everyKind();
    ASSERT_TRUE(original.saveToFile(QStringLiteral("every"), "vlp", folder).isNull());

    TestRecord back;
    ASSERT_TRUE(back.loadFromFile(QStringLiteral("every"), "vlp", folder).isNull());
    EXPECT_TRUE(back == original) << str(back.title) << " / " << str(back.body);
    EXPECT_EQ(back.items.size(), 2);

    QFile file(folder + QStringLiteral("every.vlp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QDomDocument document = parse(QString::fromUtf8(file.readAll()));
    QStringList errors;
    back.check(document.documentElement(), errors);
    original.check(document.documentElement(), errors);
    EXPECT_TRUE(errors.isEmpty()) << str(errors.join(u'\n'));
}

TEST(RecordRoundTrip, CheckReportsAFieldThatDiffers) {
    TestRecord r = everyKind();
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("name"));
    document.appendChild(root);
    r.store(root);
    r.number = 7;
    r.items[1].text = QStringLiteral("changed");
    r.items.append(TestItem());
    QStringList errors;
    r.check(root, errors);
    EXPECT_EQ(errors, (QStringList{QStringLiteral("number: got [7] expected [-42]"),
                                   QStringLiteral("text: got [changed] expected [second ]]> end]"),
                                   QStringLiteral("items: expected 2, got 3")}));
}

// The file is the same bytes in every process, whatever order Qt's attribute hash has in
// this one, with the attributes in the order the record writes them.
TEST(RecordFile, ExactBytesOfAKnownRecord) {
    const QByteArray bytes = RecordXml::recordFile(everyKind());
    const std::string expected = vltest::readFile(VL_TEST_DATA_DIR "/every_kind.vlp");
    EXPECT_EQ(bytes.toStdString(), expected);
    EXPECT_EQ(RecordXml::recordFile(everyKind()), bytes) << "a second save gives the same bytes";
}

TEST(RecordFile, DeclarationThenRootNamedName) {
    const QByteArray bytes = RecordXml::recordFile(vltest::BareRecord());
    EXPECT_EQ(bytes.toStdString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<name/>\n");
}

TEST(RecordFile, AnyRootWithoutDeclarationLoads) {
    vltest::TempDir dir("record");
    vltest::writeFile(dir.file("other.vlp"), "<other number=\"5\"><body>text</body></other>");
    TestRecord r;
    r.title = QStringLiteral("cleared first");
    ASSERT_TRUE(
        r.loadFromFile(QStringLiteral("other"), "vlp", QString::fromStdString(dir.path() + "/")).isNull());
    EXPECT_EQ(r.number, 5);
    EXPECT_EQ(str(r.body), "text");
    EXPECT_TRUE(r.title.isNull());
}

TEST(RecordFile, FailuresNameTheFileAndLeaveTheRecordCleared) {
    vltest::TempDir dir("record");
    const QString folder = QString::fromStdString(dir.path() + "/");
    vltest::writeFile(dir.file("bad.vlp"), "<name number=\"5\">");
    TestRecord r = everyKind();
    EXPECT_EQ(r.loadFromFile(QStringLiteral("bad"), "vlp", folder),
              folder + QStringLiteral("bad.vlp: cannot parse"));
    EXPECT_TRUE(r == TestRecord());

    r = everyKind();
    EXPECT_EQ(r.loadFromFile(QStringLiteral("missing"), "vlp", folder),
              folder + QStringLiteral("missing.vlp: cannot open"));
    EXPECT_TRUE(r == TestRecord());

    const QString throughFile = folder + QStringLiteral("bad.vlp/");
    EXPECT_EQ(everyKind().saveToFile(QStringLiteral("x"), "vlp", throughFile),
              throughFile + QStringLiteral("x.vlp: cannot open"));
}

TEST(RecordFile, StatusDumpInTheCurrentFolder) {
    vltest::TempDir dir("record");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    const QString result = everyKind().saveToFile(QStringLiteral("uid-17"), "status", QString());
    QDir::setCurrent(previous);
    ASSERT_TRUE(result.isNull()) << str(result);
    EXPECT_EQ(vltest::readFile(dir.file("uid-17.status")), RecordXml::recordFile(everyKind()).toStdString());
}

TEST(RecordFile, ShortWriteIsNotSuccess) {
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    EXPECT_EQ(everyKind().saveToFile(full), QStringLiteral("/dev/full: cannot save"));
}

// Characters that XML 1.0 forbids cannot be written at all: they are dropped, so that the
// file always parses back.
struct ForbiddenCase {
    const char *label;
    QString written;
    QString readBack;
};

class ForbiddenCharacters : public ::testing::TestWithParam<ForbiddenCase> {};

TEST_P(ForbiddenCharacters, DroppedAndTheFileParses) {
    const ForbiddenCase &c = GetParam();
    TestRecord r;
    r.title = c.written;
    r.body = u'x' + c.written;
    r.words = QStringList{c.written};
    r.items.append(TestItem());
    r.items[0].text = c.written;

    QDomDocument document;
    QString message;
    ASSERT_TRUE(document.setContent(RecordXml::recordFile(r), false, &message)) << str(message);
    TestRecord back;
    back.setup(document.documentElement());
    EXPECT_EQ(back.title, c.readBack);
    EXPECT_EQ(back.body, u'x' + c.readBack);
    EXPECT_EQ(back.items.value(0).text, c.readBack);
    QStringList errors;
    back.check(document.documentElement(), errors);
    EXPECT_TRUE(errors.isEmpty()) << str(errors.join(u'\n'));
}

const ForbiddenCase kForbiddenCases[] = {
    {"Controls",
     QStringLiteral("a\x01"
                    "b\x0b"
                    "c\x1f"
                    "d\x7f"),
     QStringLiteral("abcd\x7f")},
    {"Nul", QString(QChar(0)) + QStringLiteral("z"), QStringLiteral("z")},
    {"AllowedWhitespace", QStringLiteral("t\tn\nr\r"), QStringLiteral("t\tn\nr\r")},
    {"NonCharacters", QStringLiteral("a") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xFFFD),
     QStringLiteral("a") + QChar(0xFFFD)},
    {"LoneSurrogates", QString(QChar(0xD800)) + u'a' + QChar(0xDC00), QStringLiteral("a")},
    {"PairKept", QString::fromUtf8("\xf0\x9f\x98\x80"), QString::fromUtf8("\xf0\x9f\x98\x80")},
    {"HighSurrogateAtEnd", QStringLiteral("end") + QChar(0xDBFF), QStringLiteral("end")},
};

INSTANTIATE_TEST_SUITE_P(Cases, ForbiddenCharacters, ::testing::ValuesIn(kForbiddenCases),
                         [](const auto &info) { return std::string(info.param.label); });

// Python's expat, a strict XML 1.0 parser of its own, reads the same values from a record
// file, in the order the record wrote its attributes.
TEST(RecordFile, IndependentParserReadsTheSameValues) {
    TestRecord r = everyKind();
    r.title += QStringLiteral("\x01\x0b") + QChar(0xFFFE) + QChar(0xD800) + QStringLiteral(" end");
    r.body = QStringLiteral("  \t\n ");
    const char *script = R"(
import json, sys, xml.dom.minidom
root = xml.dom.minidom.parseString(sys.stdin.buffer.read()).documentElement
body = root.getElementsByTagName("body")[0].childNodes
print(json.dumps({"root": root.tagName, "names": [a for a, _ in root.attributes.items()],
                  "attrs": dict(root.attributes.items()), "body": "".join(n.data for n in body)}))
)";
    const vltest::CommandResult result =
        vltest::runCommand({"/usr/bin/python3", "-c", script}, RecordXml::recordFile(r).toStdString());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QJsonObject parsed = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
    EXPECT_EQ(str(parsed.value(QStringLiteral("root")).toString()), "name");
    EXPECT_EQ(parsed.value(QStringLiteral("names")).toArray().toVariantList(),
              (QVariantList{QStringLiteral("flag"), QStringLiteral("number"), QStringLiteral("big"),
                            QStringLiteral("title"), QStringLiteral("words")}));
    const QJsonObject attrs = parsed.value(QStringLiteral("attrs")).toObject();
    EXPECT_EQ(attrs.value(QStringLiteral("title")).toString(), everyKind().title + QStringLiteral(" end"));
    EXPECT_EQ(attrs.value(QStringLiteral("words")).toString(), r.words.join(u'|'));
    EXPECT_EQ(attrs.value(QStringLiteral("big")).toString(), QStringLiteral("9000000000"));
    EXPECT_EQ(parsed.value(QStringLiteral("body")).toString(), r.body);
}

TEST(RecordFile, WhitespaceOnlyTextSurvives) {
    TestRecord r;
    r.body = QStringLiteral("  \t\n ");
    r.title = QStringLiteral("  ");
    QDomDocument document;
    ASSERT_TRUE(document.setContent(RecordXml::recordFile(r), false));
    TestRecord back;
    back.setup(document.documentElement());
    EXPECT_EQ(back.body, r.body);
    EXPECT_EQ(back.title, r.title);
}

TEST(RecordFile, AttributesSetDirectlyFollowInNameOrder) {
    class Direct : public vltest::BareRecord {
    public:
        void store(QDomElement e) const override {
            e.setAttribute(QStringLiteral("zeta"), 1);
            storeItem(e, "second", 2);
            e.setAttribute(QStringLiteral("alpha"), 1);
            storeItem(e, "first", 1);
            storeItem(e, "second", 3);
        }
    };
    EXPECT_EQ(RecordXml::recordFile(Direct()).toStdString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<name second=\"3\" first=\"1\" alpha=\"1\" "
              "zeta=\"1\"/>\n");
}

} // namespace
