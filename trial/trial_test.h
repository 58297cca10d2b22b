#pragma once
// One scripted action on one widget: the base of the widget tests that the script runner
// executes. A subclass checks that the widget found for the path is of its class and
// carries out the action.

#include <QString>
#include <QVariant>

class QObject;
class QWidget;
class TrialRunner;

class TrialTest {
public:
    // The script's action keywords, in this order: "set", "check", "click", "accept",
    // "reject", "raise", "add", "remove", "setrow".
    enum Action { Set = 1, Check, Click, Accept, Reject, Raise, Add, Remove, SetRow };
    // What one try gives the runner.
    enum Result { Failed = 0, Done = 1, NotFound = 2 };
    // A widget that does not turn up within this many tries fails its test.
    static constexpr int MaxTries = 5;

    // The value is the script's text. No pause, no tries yet.
    TrialTest(TrialRunner *runner, const QString &path, Action action, const QVariant &value);
    virtual ~TrialTest();
    TrialTest(const TrialTest &) = delete;
    TrialTest &operator=(const TrialTest &) = delete;

    // Carries out the action on the widget found: Done or Failed (the error stored with the
    // runner under the path).
    virtual int action(QObject *widget) = 0;
    // The widget for path; the runner's lookup unless a test knows better.
    virtual QObject *find(const QString &path);
    // One try: Done, Failed, or NotFound while the widget has tries left to appear. The
    // first try of a run resets the count.
    virtual int execute(bool first);

    void setPause(unsigned seconds) { m_pause = seconds; }
    // The wait before this test in milliseconds: the pause, else defaultMs; never more than
    // a timer can take.
    [[nodiscard]] int pause(unsigned defaultMs) const;
    [[nodiscard]] const QString &path() const { return m_path; }

    // Clicks the widget once the event loop runs again, so that whatever the click opens
    // starts after the test has been reported done.
    static void click(QWidget *widget);

    // The keyword's action, or 0 for a text that is none.
    static int actionFromKeyword(const QString &keyword);

protected:
    // Stores message with the runner under the path; gives Failed.
    int fail(const QString &message);
    // The value's text as a decimal number; 0 when it is not one.
    [[nodiscard]] int valueAsInt() const;
    // "Not a <scriptName>: <class of widget>" for a widget of the wrong class.
    int wrongClass(const char *scriptName, const QObject *widget);
    // "<kind>: Unknown action".
    int unknownAction(const char *kind);
    // "set" and "check" of a two-state control: set makes it checked when the value is not
    // 0; check wants the value 1 for checked and 0 for unchecked.
    template <class Checkable> int setOrCheck(Checkable *control, const char *kind);

    TrialRunner *m_runner;
    QString m_path;
    Action m_action;
    QVariant m_value;
    unsigned m_pause = 0;
    int m_tries = 0;
    // Why the path cannot be looked up at all; null for a usable path.
    QString m_pathError;
};

template <class Checkable> int TrialTest::setOrCheck(Checkable *control, const char *kind) {
    switch (m_action) {
    case Set:
        control->setChecked(valueAsInt() != 0);
        return Done;
    case Check:
        if (valueAsInt() != (control->isChecked() ? 1 : 0))
            return fail(QStringLiteral("Unexpected value"));
        return Done;
    default:
        return unknownAction(kind);
    }
}
