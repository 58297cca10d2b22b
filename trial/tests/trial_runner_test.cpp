// The script runner: loading scripts, finding widgets, starting, pauses and retries.
#include "trial_fixture_dialog.h"
#include "trial_runner.h"
#include "trial_tests.h"

#include "testsupport/TempDir.h"
#include "testsupport/TestNames.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

using vltest::TrialFixtureDialog;

namespace {

QString dataFile(const char *name) {
    return QStringLiteral(VL_TEST_DATA_DIR "/") + QLatin1String(name);
}

// ---------------------------------------------------------------- load

struct LoadCase {
    const char *name;
    const char *script; // written to a file; nullptr: no file at all
    bool loads;
    const char *error; // nullptr: no error; "%1" stands for the script's path
    const char *tag;   // nullptr: the tag must be a null string
};

void PrintTo(const LoadCase &c, std::ostream *os) {
    *os << c.name;
}

class TrialRunnerLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(TrialRunnerLoad, ResultErrorAndTag) {
    const LoadCase &c = GetParam();
    vltest::TempDir dir("trial");
    const std::string path = dir.file("script.xml");
    if (c.script)
        vltest::writeFile(path, c.script);

    TrialRunner runner;
    EXPECT_TRUE(runner.tag().isNull());
    EXPECT_EQ(runner.load(QString::fromStdString(path)), c.loads);
    if (c.error)
        EXPECT_EQ(runner.error(), QString::fromUtf8(c.error).arg(QString::fromStdString(path)));
    else
        EXPECT_TRUE(runner.error().isNull()) << runner.error().toStdString();
    if (c.tag) {
        EXPECT_FALSE(runner.tag().isNull());
        EXPECT_EQ(runner.tag(), QString::fromUtf8(c.tag));
    } else {
        EXPECT_TRUE(runner.tag().isNull()) << runner.tag().toStdString();
    }
}

const LoadCase kLoadCases[] = {
    {"Missing file", nullptr, false, "runner: Cannot open XML specification file: %1", nullptr},
    {"Broken XML", "<script tag=\"a\"><test", false, "runner: Cannot load XML specification file: %1",
     nullptr},
    {"Unknown action before unknown type",
     "<s tag=\"x\"><test tag=\"t1\" type=\"QFrob\" path=\"p\" action=\"frob\"/></s>", false,
     "t1: Unknown action: frob", "x"},
    {"Keywords are case-sensitive", "<s><test tag=\"t1\" type=\"QLineEdit\" action=\"Set\"/></s>", false,
     "t1: Unknown action: Set", nullptr},
    {"No action", "<s><test tag=\"t0\" type=\"QLineEdit\" path=\"p\"/></s>", false,
     "t0: Unknown action: ", nullptr},
    {"Unknown type", "<s><test tag=\"t2\" type=\"QFrob\" action=\"set\"/></s>", false,
     "t2: Unknown type: QFrob", nullptr},
    {"Every type and keyword",
     "<?xml version=\"1.0\"?>\n<any tag=\"x y\"><!-- c -->text<other/>"
     "<test type=\"QPushButton\" action=\"click\"/><test type=\"QLineEdit\" action=\"set\"/>"
     "<test type=\"QDialog\" action=\"accept\"/><test type=\"QGroupBox\" action=\"check\"/>"
     "<test type=\"QCheckBox\" action=\"reject\"/><test type=\"QRadioButton\" action=\"raise\"/>"
     "<test type=\"QTabWidget\" action=\"add\"/><test type=\"QListBox\" action=\"remove\"/>"
     "<test type=\"QComboBox\" action=\"setrow\"/><test type=\"QTable\" action=\"set\" row=\"1\" col=\"2\"/>"
     "</any>",
     true, nullptr, "x y"},
    {"Empty tag", "<script tag=\"\"/>", true, nullptr, ""},
    {"No tag", "<script><test tag=\"inner\" type=\"QLineEdit\" action=\"set\"/></script>", true, nullptr,
     nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrialRunnerLoad, ::testing::ValuesIn(kLoadCases), vltest::RowName());

TEST(TrialRunnerLoad, FailedLoadKeepsEarlierTag) {
    vltest::TempDir dir("trial");
    vltest::writeFile(dir.file("good.xml"), "<s tag=\"first\"/>");
    vltest::writeFile(dir.file("bad.xml"), "not xml");
    TrialRunner runner;
    ASSERT_TRUE(runner.load(QString::fromStdString(dir.file("good.xml"))));
    EXPECT_FALSE(runner.load(QString::fromStdString(dir.file("bad.xml"))));
    EXPECT_EQ(runner.tag(), QStringLiteral("first"));
}

// A failing load keeps the tests before the bad one (they still run) and the setup and
// expect elements read so far, a later one replacing an earlier one.
TEST(TrialRunnerLoad, KeepsWhatCameBeforeTheBadTest) {
    TrialFixtureDialog dialog;
    TrialRunner runner(&dialog);
    EXPECT_FALSE(runner.load(dataFile("load_partial.xml")));
    EXPECT_EQ(runner.error(), QStringLiteral("bad: Unknown type: QFrob"));
    EXPECT_EQ(runner.tag(), QStringLiteral("partial"));
    EXPECT_EQ(runner.setup().attribute(QStringLiteral("n")), QStringLiteral("2"));
    EXPECT_EQ(runner.expect().attribute(QStringLiteral("n")), QStringLiteral("1"));

    dialog.show();
    runner.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.userName->text() == u"kept"; }, 10000));
    EXPECT_EQ(runner.stop(), TrialRunner::Passed);
    EXPECT_TRUE(runner.error().isNull());
}

// ---------------------------------------------------------------- find

// testDialog
//   alpha / deep / target, alpha / Panel / userName
//   target
struct FindCase {
    const char *name;
    const char *path;
    const char *found; // the object's name path; nullptr: nothing; "" the dialog
};

void PrintTo(const FindCase &c, std::ostream *os) {
    *os << c.name;
}

class TrialRunnerFind : public ::testing::TestWithParam<FindCase> {};

QString namePath(const QObject *object, const QObject *top) {
    QStringList names;
    for (; object && object != top; object = object->parent())
        names.prepend(object->objectName());
    return names.join(u'/');
}

TEST_P(TrialRunnerFind, DepthFirstMatchAnywhereIgnoringCase) {
    const FindCase &c = GetParam();
    QDialog dialog;
    auto child = [](QWidget *parent, const char *name) {
        auto *object = new QWidget(parent);
        object->setObjectName(QLatin1String(name));
        return object;
    };
    QWidget *alpha = child(&dialog, "alpha");
    child(child(alpha, "deep"), "target");
    new QLineEdit(child(alpha, "Panel"));
    alpha->findChild<QLineEdit *>()->setObjectName(QStringLiteral("userName"));
    child(&dialog, "target");

    TrialRunner runner(&dialog);
    const QObject *found = runner.find(QString::fromUtf8(c.path));
    if (!c.found) {
        EXPECT_EQ(found, nullptr) << namePath(found, &dialog).toStdString();
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(namePath(found, &dialog), QString::fromUtf8(c.found));
}

const FindCase kFindCases[] = {
    {"Empty path is the dialog", "", ""},
    {"Part of the path in other case", "PANEL/USERN", "alpha/Panel/userName"},
    {"Deeper match before a later sibling", "target", "alpha/deep/target"},
    {"Whole path anchored", "^target$", "target"},
    {"No match", "nothing", nullptr},
    {"Invalid expression", "user(", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrialRunnerFind, ::testing::ValuesIn(kFindCases), vltest::RowName());

// ---------------------------------------------------------------- start

// Nothing to run, or nothing to run against: the run fails at once and leaves the dialog
// alone.
TEST(TrialRunnerStart, WithoutTestsOrDialog) {
    for (const bool withDialog : {false, true}) {
        SCOPED_TRACE(withDialog ? "no tests" : "no dialog");
        TrialFixtureDialog dialog;
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        TrialRunner runner(withDialog ? &dialog : nullptr);
        if (!withDialog) {
            ASSERT_TRUE(runner.load(dataFile("pause_none.xml")));
        }
        runner.start();
        EXPECT_EQ(runner.error(),
                  withDialog ? QStringLiteral("runner: No tests") : QStringLiteral("runner: No dialog"));
        QTest::qWait(400);
        EXPECT_EQ(runner.stop(), TrialRunner::Failed);
        EXPECT_EQ(finished.count(), 0);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.userName->text().isEmpty());
    }
}

TEST(TrialRunnerStart, DialogDestroyedDuringRun) {
    auto *dialog = new TrialFixtureDialog;
    dialog->show();
    vltest::TempDir dir("trial");
    vltest::writeFile(
        dir.file("s.xml"),
        "<s><test tag=\"t\" type=\"QLineEdit\" path=\"later\" action=\"set\" value=\"x\"/></s>");
    TrialRunner runner(dialog);
    ASSERT_TRUE(runner.load(QString::fromStdString(dir.file("s.xml"))));
    runner.start();
    QTimer::singleShot(150, [dialog] { delete dialog; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !runner.error().isNull(); }, 10000));
    EXPECT_EQ(runner.error(), QStringLiteral("later: Dialog destroyed"));
    EXPECT_EQ(runner.stop(), TrialRunner::Failed);
    EXPECT_EQ(runner.dialog(), nullptr);
}

// ---------------------------------------------------------------- timing

struct PauseCase {
    const char *name;
    const char *script;
    qint64 atLeastMs; // between the two tests
    qint64 belowMs;
};

void PrintTo(const PauseCase &c, std::ostream *os) {
    *os << c.name;
}

class TrialRunnerPause : public ::testing::TestWithParam<PauseCase> {};

TEST_P(TrialRunnerPause, SecondTestWaits) {
    const PauseCase &c = GetParam();
    TrialFixtureDialog dialog;
    dialog.show();
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(dataFile(c.script)));
    QElapsedTimer clock;
    QList<qint64> times;
    QObject::connect(dialog.userName, &QLineEdit::textChanged, &dialog,
                     [&](const QString &) { times.append(clock.elapsed()); });
    clock.start();
    runner.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return times.size() == 2; }, 20000));
    EXPECT_EQ(runner.stop(), TrialRunner::Passed);
    EXPECT_GE(times[0], 100);
    EXPECT_GE(times[1] - times[0], c.atLeastMs);
    EXPECT_LT(times[1] - times[0], c.belowMs);
}

const PauseCase kPauseCases[] = {
    {"No pause", "pause_none.xml", 100, 1900},
    {"Pause of two seconds", "pause_two.xml", 2000, 10000},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrialRunnerPause, ::testing::ValuesIn(kPauseCases), vltest::RowName());

TEST(TrialTest, PauseInMilliseconds) {
    const struct {
        unsigned seconds;
        unsigned defaultMs;
        int ms;
    } cases[] = {
        {0, 100, 100},
        {2, 100, 2000},
        {2147483, 100, 2147483000},
        {2147484, 100, INT_MAX}, // a timer takes no more
        {UINT_MAX, 100, INT_MAX},
        {0, UINT_MAX, INT_MAX},
    };
    for (const auto &c : cases) {
        TrialTestLineEdit test(nullptr, QString(), TrialTest::Set, QVariant());
        test.setPause(c.seconds);
        EXPECT_EQ(test.pause(c.defaultMs), c.ms) << c.seconds << " s, default " << c.defaultMs;
    }
}

} // namespace
