#include "trial_test.h"

#include "trial_runner.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <limits>

TrialTest::TrialTest(TrialRunner *runner, const QString &path, Action action, const QVariant &value)
    : m_runner(runner), m_path(path), m_action(action), m_value(value),
      m_pathError(TrialRunner::pathError(path)) {}

TrialTest::~TrialTest() = default;

QObject *TrialTest::find(const QString &path) {
    return m_runner->find(path);
}

int TrialTest::execute(bool first) {
    if (first)
        m_tries = 0;
    if (++m_tries > MaxTries) {
        m_runner->setError(m_path, QStringLiteral("Retry count exceeded"));
        return Failed;
    }
    // No retry can mend a path that is not an expression.
    if (!m_pathError.isNull())
        return fail(QStringLiteral("Invalid path: ") + m_pathError);
    QObject *widget = find(m_path);
    if (widget == nullptr)
        return NotFound;
    return action(widget);
}

int TrialTest::pause(unsigned defaultMs) const {
    constexpr auto longest = unsigned(std::numeric_limits<int>::max());
    if (m_pause == 0)
        return int(std::min(defaultMs, longest));
    // Seconds beyond a timer's range wait as long as a timer can.
    return m_pause > longest / 1000 ? int(longest) : int(m_pause * 1000);
}

void TrialTest::click(QWidget *widget) {
    // A button clicks itself: a press at a fixed point can miss the click area that a style
    // gives a check box or radio button, and would be lost without a word.
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        return;
    }
    const QPointF at(1, 1);
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

int TrialTest::actionFromKeyword(const QString &keyword) {
    static const char *const keywords[] = {"set",   "check", "click",  "accept", "reject",
                                           "raise", "add",   "remove", "setrow"};
    for (int i = 0; i < int(std::size(keywords)); ++i) {
        if (keyword == QLatin1String(keywords[i]))
            return Set + i;
    }
    return 0;
}

int TrialTest::fail(const QString &message) {
    m_runner->setError(m_path, message);
    return Failed;
}

int TrialTest::valueAsInt() const {
    // toInt() gives 0 for a text that is no decimal number, which is what the scripts expect.
    return m_value.toString().toInt();
}

int TrialTest::wrongClass(const char *scriptName, const QObject *widget) {
    return fail(QStringLiteral("Not a %1: %2")
                    .arg(QLatin1String(scriptName), QLatin1String(widget->metaObject()->className())));
}

int TrialTest::unknownAction(const char *kind) {
    return fail(QStringLiteral("%1: Unknown action").arg(QLatin1String(kind)));
}
