#include "trial_runner.h"

#include "trial_tests.h"

#include <QDialog>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {

// Every test waits this long before it runs unless the script gives it a pause, and this
// long between the tries of a widget that is not there yet.
constexpr unsigned DefaultPauseMs = 100;
constexpr int RetryMs = 200;

template <class Test>
TrialTest *makeTest(TrialRunner *runner, const QString &path, TrialTest::Action action,
                    const QVariant &value) {
    return new Test(runner, path, action, value);
}

// The script types of the tests that need nothing beyond path, action and value.
const struct {
    QLatin1String type;
    TrialTest *(*make)(TrialRunner *, const QString &, TrialTest::Action, const QVariant &);
} kTestTypes[] = {
    {QLatin1String("QPushButton"), makeTest<TrialTestPushButton>},
    {QLatin1String("QLineEdit"), makeTest<TrialTestLineEdit>},
    {QLatin1String("QDialog"), makeTest<TrialTestDialog>},
    {QLatin1String("QGroupBox"), makeTest<TrialTestGroupBox>},
    {QLatin1String("QCheckBox"), makeTest<TrialTestCheckBox>},
    {QLatin1String("QRadioButton"), makeTest<TrialTestRadioButton>},
    {QLatin1String("QTabWidget"), makeTest<TrialTestTabWidget>},
    {QLatin1String("QListBox"), makeTest<TrialTestListBox>},
    {QLatin1String("QComboBox"), makeTest<TrialTestComboBox>},
};

// The test for a script type, or null for a type that names no test.
TrialTest *makeTest(const QString &type, TrialRunner *runner, const QString &path, TrialTest::Action action,
                    const QVariant &value, const QDomElement &element) {
    if (type == u"QTable")
        return new TrialTestTable(runner, path, action, value,
                                  element.attribute(QStringLiteral("row")).toInt(),
                                  element.attribute(QStringLiteral("col")).toInt());
    for (const auto &known : kTestTypes) {
        if (type == known.type)
            return known.make(runner, path, action, value);
    }
    return nullptr;
}

// Depth-first in child order; a child's path is its parent's path, "/" and its name, so
// prefix is empty below the dialog and "<path>/" further down.
QObject *findBelow(const QObject *parent, const QString &prefix, const QRegularExpression &expression) {
    for (QObject *child : parent->children()) {
        const QString path = prefix + child->objectName();
        if (expression.match(path).hasMatch())
            return child;
        if (QObject *found = findBelow(child, path + u'/', expression))
            return found;
    }
    return nullptr;
}

} // namespace

TrialRunner::TrialRunner(QDialog *dialog) : QObject(nullptr), m_dialog(dialog) {
    m_timer.setSingleShot(true);
    // A pause is a lower bound: a coarse timer may fire a little early.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TrialRunner::execute);
}

TrialRunner::~TrialRunner() = default;

bool TrialRunner::load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(QStringLiteral("runner"), QStringLiteral("Cannot open XML specification file: ") + path);
        return false;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    if (!document.setContent(&file, false, &message, &line)) {
        fprintf(stderr, "TrialRunner::load: %s: line %d: %s\n", qPrintable(path), line, qPrintable(message));
        setError(QStringLiteral("runner"), QStringLiteral("Cannot load XML specification file: ") + path);
        return false;
    }
    const QDomElement root = document.documentElement();
    // A root without a tag leaves a null tag, not an empty one.
    m_tag = root.hasAttribute(QStringLiteral("tag")) ? root.attribute(QStringLiteral("tag")) : QString();

    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        if (element.isNull())
            continue;
        const QString name = element.tagName();
        if (name == u"setup") {
            m_setup = element;
        } else if (name == u"expect") {
            m_expect = element;
        } else if (name == u"test") {
            const QString testTag = element.attribute(QStringLiteral("tag"));
            const QString keyword = element.attribute(QStringLiteral("action"));
            const int action = TrialTest::actionFromKeyword(keyword);
            if (action == 0) {
                setError(testTag, QStringLiteral("Unknown action: ") + keyword);
                return false;
            }
            const QString type = element.attribute(QStringLiteral("type"));
            TrialTest *test =
                makeTest(type, this, element.attribute(QStringLiteral("path")), TrialTest::Action(action),
                         QVariant(element.attribute(QStringLiteral("value"))), element);
            if (test == nullptr) {
                setError(testTag, QStringLiteral("Unknown type: ") + type);
                return false;
            }
            if (element.hasAttribute(QStringLiteral("pause")))
                test->setPause(element.attribute(QStringLiteral("pause")).toUInt());
            addTest(test);
        }
    }
    return true;
}

void TrialRunner::start() {
    m_timer.stop();
    m_index = 0;
    m_firstTry = true;
    m_errorTag = QString();
    m_errorText = QString();
    // Nothing to run against or nothing to run: fail here rather than leave a run that
    // never ends or reports an empty script as passed.
    if (m_tests.empty()) {
        setError(QStringLiteral("runner"), QStringLiteral("No tests"));
        m_state = Failed;
        return;
    }
    if (m_dialog.isNull()) {
        setError(QStringLiteral("runner"), QStringLiteral("No dialog"));
        m_state = Failed;
        return;
    }
    m_state = Running;
    m_timer.start(m_tests.front()->pause(DefaultPauseMs));
}

int TrialRunner::stop() {
    m_timer.stop();
    return m_state;
}

void TrialRunner::execute() {
    if (m_state != Running)
        return;
    TrialTest *test = m_tests[m_index].get();
    if (m_dialog.isNull()) {
        setError(test->path(), QStringLiteral("Dialog destroyed"));
        finish(Failed);
        return;
    }
    const int result = test->execute(m_firstTry);
    m_firstTry = false;
    int delay = RetryMs;
    switch (result) {
    case TrialTest::Done:
        ++m_index;
        if (m_index >= m_tests.size()) {
            finish(Passed);
            return;
        }
        m_firstTry = true;
        delay = m_tests[m_index]->pause(DefaultPauseMs);
        break;
    case TrialTest::NotFound:
        break;
    default:
        finish(Failed);
        if (!m_dialog.isNull())
            m_dialog->reject();
        return;
    }
    m_timer.start(delay);
}

void TrialRunner::finish(State state) {
    m_index = 0;
    m_firstTry = true;
    m_state = state;
}

QString TrialRunner::error() const {
    if (m_errorTag.isNull() && m_errorText.isNull())
        return QString();
    return QStringLiteral("%1: %2").arg(m_errorTag, m_errorText);
}

void TrialRunner::setError(const QString &tag, const QString &text) {
    fprintf(stderr, "setError: %s: %s\n", qPrintable(tag), qPrintable(text));
    m_errorTag = tag;
    m_errorText = text;
}

QObject *TrialRunner::find(const QString &path) const {
    if (m_dialog.isNull())
        return nullptr;
    if (path.isEmpty())
        return m_dialog.data();
    const QRegularExpression expression(path, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        return nullptr;
    return findBelow(m_dialog.data(), QString(), expression);
}

void TrialRunner::addTest(TrialTest *test) {
    m_tests.emplace_back(test);
}

QDialog *TrialRunner::dialog() const {
    return m_dialog.data();
}

QString TrialRunner::pathError(const QString &path) {
    if (path.isEmpty())
        return QString();
    const QRegularExpression expression(path, QRegularExpression::CaseInsensitiveOption);
    if (expression.isValid())
        return QString();
    return expression.errorString();
}
