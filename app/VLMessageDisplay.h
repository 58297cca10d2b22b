#pragma once
// The preview pane: the current message as its readable text or as its full source, with a
// quick reply to it. Inside the message viewer it leaves the subject to the header table.

#include "data/data_email.h"

#include <QWidget>

class QLabel;
class QTextBrowser;
class QToolButton;

class VLMessageDisplay : public QWidget {
    Q_OBJECT
public:
    // Empty, with the normal view chosen.
    VLMessageDisplay(QWidget *parent, bool viewerMode, const char *name);

    // Forgets the message and empties the subject and the text; the view stays as chosen.
    void clear();

    // The message shown (an empty one after clear()).
    [[nodiscard]] const DataEmailMessage &message() const { return m_message; }

public Q_SLOTS:
    void slotCurrentMsg(const DataEmailMessage &message);
    void slotToggleNormal(bool on);
    void slotToggleRaw(bool on);
    void slotQuickReply();

private:
    void showText(const QString &text);
    [[nodiscard]] QString sourceText() const;

    bool m_viewerMode;
    QLabel *m_subject;
    QToolButton *m_normal;
    QToolButton *m_raw;
    QToolButton *m_quick;
    QTextBrowser *m_browser;
    QLabel *m_viewLabel;
    QLabel *m_status;
    DataEmailMessage m_message;
};
