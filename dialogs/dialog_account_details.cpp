#include "dialog_account_details.h"

#include "account_dialogs_p.h"
#include "panel_account_name.h"

#include <QLineEdit>
#include <QMessageBox>

#include <cstdio>

DialogAccountDetails::DialogAccountDetails(const QString &caption, QWidget *parent, const char *name)
    : VLDialog(caption, parent, name) {}

void DialogAccountDetails::setNamePage(PanelTabWidget *tabs, PanelAccountName *page) {
    m_tabs = tabs;
    m_namePage = page;
}

void DialogAccountDetails::refuseNames(const QStringList &taken, const std::optional<QString> &loaded) {
    m_check = true;
    m_taken.clear();
    for (const QString &name : taken)
        m_taken.append(name.trimmed());
    m_loaded = loaded;
}

QString DialogAccountDetails::clash(const QString &typed) const {
    if (!m_check || (m_loaded && typed == *m_loaded))
        return QString();
    const QString name = typed.trimmed();
    // The account menu's selectors for the default set and for every account.
    if (name == QLatin1String("$$$DEF$$$") || name == QLatin1String("$$$ALL$$$"))
        return QStringLiteral("\"%1\" cannot be used as an account name. Please choose another name.")
            .arg(name);
    if (m_taken.contains(name))
        return QStringLiteral("There is already an account named \"%1\". Please choose another name.")
            .arg(name);
    return QString();
}

void DialogAccountDetails::accept() {
    if (m_namePage) {
        QLineEdit *edit = m_namePage->nameEdit();
        const QString problem = clash(edit->text());
        if (!problem.isNull()) {
            std::fprintf(stderr, "DialogAccountDetails::accept: name refused\n");
            QMessageBox::warning(this, QStringLiteral("Velloran Pro"), problem);
            m_tabs->setCurrentWidget(m_namePage);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    VLDialog::accept();
}

DialogAccountDetailsPOP3::DialogAccountDetailsPOP3(QWidget *parent, const char *name)
    : DialogAccountDetails(QStringLiteral("Account details for a POP3/SMTP account"), parent, name),
      m_panel(
          account_dialogs::addPanel<PanelAccountDetailsPOP3>(this, "How_to_add_a_POP3_account_manually")) {
    setNamePage(m_panel, m_panel->namePage());
}

DialogAccountDetailsIMAP::DialogAccountDetailsIMAP(QWidget *parent, const char *name)
    : DialogAccountDetails(QStringLiteral("Account details for an IMAP/SMTP account"), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountDetailsIMAP>(this, "How_to_add_an_IMAP_account")) {
    setNamePage(m_panel, m_panel->namePage());
}

DialogAccountDetailsHotMail::DialogAccountDetailsHotMail(QWidget *parent, const char *name)
    : DialogAccountDetails(QStringLiteral("Account details for a HotMail account"), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountDetailsHotMail>(this, "How_to_add_a_Hotmail_account")) {
    setNamePage(m_panel, m_panel->namePage());
}
