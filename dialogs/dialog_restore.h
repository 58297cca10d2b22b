#pragma once
// The progress of restoring one message: follows the sender that carries it, keeps a busy bar
// moving until the message is sent or has failed, and cancels the sending when closed any way
// but OK.

#include "vl_dialog.h"

#include <QTimer>

class QPushButton;
class SMTPSender;
class VLProgressBar;

class DialogRestore : public VLDialog {
    Q_OBJECT
public:
    // Built before the message is queued, so that it sees every signal of the sender (not owned).
    DialogRestore(SMTPSender *sender, const QString &text, QWidget *parent, const char *name);

    // Starts the busy bar, then runs the dialog.
    int exec() override;

    // Cancel, Escape and the window's close button all end here: the sender's queue is dropped.
    void reject() override;

    [[nodiscard]] VLProgressBar *progressBar() const { return m_bar; }

public Q_SLOTS:
    void slotTimer();
    void slotError();
    void slotLoggedIn();
    void slotSent(const QString &uid);
    void slotCancel();

private:
    SMTPSender *m_sender;
    QTimer m_timer;
    VLProgressBar *m_bar;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
