#pragma once
// Replays a script of interface actions against one dialog: loads the XML script, then runs
// its widget tests one after another from a single-shot timer on the event loop, finding
// each target by its object-name path, retrying while it is not there yet, and rejecting
// the dialog when a test fails.

#include <QDomElement>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QDialog;
class TrialTest;

class TrialRunner : public QObject {
    Q_OBJECT

public:
    // What stop() reports; a runner that never ran counts as failed.
    enum State : int { Failed = 0, Passed = 1, Running = 2 };

    // The dialog is not owned; null is allowed for a runner that only names a script.
    explicit TrialRunner(QDialog *dialog = nullptr);
    ~TrialRunner() override;
    TrialRunner(const TrialRunner &) = delete;
    TrialRunner &operator=(const TrialRunner &) = delete;

    // Reads the script at path: its tag, its tests in order, its "setup" and "expect"
    // elements. False (with error() set) for a file that cannot be opened or parsed, or for
    // a test with an unknown action or type; tests read before the bad one stay.
    bool load(const QString &path);
    // Runs the loaded tests from the first; with no tests or no dialog the run fails at once.
    void start();
    // Halts the timer and gives the state (a State value).
    int stop();

    // "<tag>: <text>" of the last error; a null string when there is none.
    [[nodiscard]] QString error() const;
    // Traces and keeps the error that error() reports.
    void setError(const QString &tag, const QString &text);

    // The widget at path: the dialog for an empty path, else the first object below the
    // dialog, depth-first, whose "parent/child" name path the case-insensitive regular
    // expression matches anywhere. Null when nothing matches or the expression is invalid.
    [[nodiscard]] QObject *find(const QString &path) const;
    // The runner takes ownership.
    void addTest(TrialTest *test);

    [[nodiscard]] QDialog *dialog() const;
    [[nodiscard]] const QString &tag() const { return m_tag; }
    [[nodiscard]] const QDomElement &setup() const { return m_setup; }
    [[nodiscard]] const QDomElement &expect() const { return m_expect; }

    // The error text of path as a regular expression; a null string when it is valid.
    [[nodiscard]] static QString pathError(const QString &path);

public slots:
    // One step of the run: tries the current test and schedules the next step.
    void execute();

private:
    void finish(State state);

    QPointer<QDialog> m_dialog;
    std::vector<std::unique_ptr<TrialTest>> m_tests;
    std::size_t m_index = 0;
    bool m_firstTry = true;
    State m_state = Failed;
    QTimer m_timer;
    QString m_errorTag;
    QString m_errorText;
    QString m_tag;
    QDomElement m_setup;
    QDomElement m_expect;
};
