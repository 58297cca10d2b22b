#pragma once
// A progress bar that shows a status text instead of a percentage, whatever its progress.

#include <QProgressBar>
#include <QString>

class VLProgressBar : public QProgressBar {
    Q_OBJECT
public:
    // A bar of totalSteps steps, without progress yet and without a text.
    VLProgressBar(int totalSteps, QWidget *parent, const char *name);

    // The text drawn on the bar from now on.
    void setText(const QString &text);
    // What the bar draws: the status text, never a percentage.
    [[nodiscard]] QString text() const override { return m_text; }

private:
    QString m_text;
};
