#include "VLStatistics.h"

#include "VLMailLogPage.h"
#include "VLOutgoingMail.h"
#include "VLSummaryPage.h"
#include "vl_file_cache.h"
#include "vl_history.h"

#include "data/data_email.h"
#include "data/store_options.h"
#include "data/vl_settings.h"
#include "dialogs/dialog_restore.h"
#include "proto/SMTPSender.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const QString kGroup = QStringLiteral("statistics");
const QString kShowFor = QStringLiteral("showFor");

// The logged message as it goes out again: its own text and identity, decoded header values
// for the sender to encode, and the MIME description the body needs to be read.
DataEmailMessage restoredMessage(const QByteArray &bytes, const QString &fromAddress) {
    DataEmailMessage message;
    message.loadEmail(SODataArray(bytes));
    message.from = message.encFrom;
    message.subject = message.encSubject;
    message.to = getEncodedText(message.to.toLatin1());
    message.uid =
        message.messageID.isEmpty() ? QString() : QLatin1Char('<') + message.messageID + QLatin1Char('>');
    if (!message.contentType.isEmpty()) {
        message.mime = QStringLiteral("1.0");
        message.content = message.contentType;
    }
    VLOutgoingMail::stamp(message, fromAddress);
    return message;
}

} // namespace

VLStatistics::VLStatistics(QWidget *parent, const char *name) : VLDialog(parent, name) {
    auto *body = new QWidget(this);
    layout()->addWidget(body);
    auto *column = new QVBoxLayout(body);
    m_tabber = new QTabWidget(body);
    m_tabber->setObjectName(QStringLiteral("tabber"));
    column->addWidget(m_tabber, 1);
    auto *grid = new QGridLayout;
    column->addLayout(grid);

    m_summary = new VLSummaryPage(m_tabber, "summary");
    m_mailLog = new VLMailLogPage(m_tabber, "maillog");
    m_tabber->addTab(m_summary, QStringLiteral("&Statistics"));
    m_tabber->addTab(m_mailLog, QStringLiteral("&Mail Log"));

    auto *gsum = new QGroupBox(QStringLiteral("Summar&y for last ..."), body);
    gsum->setObjectName(QStringLiteral("gsum"));
    auto *gsumBox = new QVBoxLayout(gsum);
    m_showFor = new QComboBox(gsum);
    m_showFor->setObjectName(QStringLiteral("showFor"));
    m_showFor->addItems({QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Two weeks"),
                         QStringLiteral("Four weeks"), QStringLiteral("Eight weeks")});
    gsumBox->addWidget(m_showFor);
    auto *glog = new QGroupBox(QStringLiteral("Clear message l&og ..."), body);
    glog->setObjectName(QStringLiteral("glog"));
    auto *glogBox = new QVBoxLayout(glog);
    m_clear = new QPushButton(QStringLiteral("&Clear"), glog);
    m_clear->setObjectName(QStringLiteral("clear"));
    glogBox->addWidget(m_clear);
    m_restore = new QPushButton(QStringLiteral("&Restore"), body);
    m_restore->setObjectName(QStringLiteral("restore"));
    m_restore->setEnabled(false);
    m_ok = new QPushButton(QStringLiteral("OK"), body);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    grid->addWidget(gsum, 0, 0, 2, 1);
    grid->addWidget(glog, 0, 1, 2, 1);
    grid->addWidget(m_restore, 0, 3);
    grid->addWidget(m_ok, 1, 3);
    grid->setColumnStretch(2, 1);

    {
        const QList<DataEmailSummary *> &log = *VLHistory::self()->emailList();
        const QSignalBlocker blocker(m_mailLog);
        m_mailLog->setRowCount(int(log.size()));
        int row = 0;
        for (const DataEmailSummary *record : log) {
            m_summary->add(record);
            m_mailLog->add(record, row++);
        }
    }

    connect(m_clear, &QPushButton::clicked, this, &VLStatistics::slotClearLog);
    connect(m_restore, &QPushButton::clicked, this, &VLStatistics::slotRestore);
    connect(m_ok, &QPushButton::clicked, this, &VLStatistics::slotFinish);
    connect(m_mailLog, &VLMailLogPage::sigCanRestore, this, &VLStatistics::slotCanRestore);
    connect(m_showFor, &QComboBox::activated, this, &VLStatistics::slotForChanged);

    VLSettings settings;
    settings.beginGroup(kGroup);
    const int showFor = settings.value(kShowFor, 0).toInt();
    settings.endGroup();
    m_showFor->setCurrentIndex(showFor >= 0 && showFor < m_showFor->count() ? showFor : 0);
    m_mailLog->display(m_showFor->currentIndex());
    m_summary->display(m_showFor->currentIndex());

    m_tabber->setCurrentWidget(objectName() == QLatin1String("statistics") ? static_cast<QWidget *>(m_summary)
                                                                           : m_mailLog);
}

void VLStatistics::slotForChanged() {
    const int period = m_showFor->currentIndex();
    m_mailLog->display(period);
    m_summary->display(period);
    VLSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(kShowFor, period);
    settings.endGroup();
}

void VLStatistics::slotClearLog() {
    VLHistory *history = VLHistory::self();
    history->clear();
    history->dumpKeepingDays(StoreOptions::options()->summary.keepLogFor);
    m_summary->clear();
    m_mailLog->setRowCount(0);
}

void VLStatistics::slotCanRestore(const QString &ident) {
    m_restoreIdent = ident;
    // Without a recycle bin in the options nothing is offered from it.
    m_restore->setEnabled(!ident.isEmpty() && StoreOptions::options()->summary.allowRevovery);
}

void VLStatistics::slotRestore() {
    const QString ident = m_restoreIdent;
    if (ident.isEmpty() || !StoreOptions::options()->summary.allowRevovery)
        return;
    const QByteArray bytes = VLFileCache::self()->bytes(ident);
    std::fprintf(stderr, "VLStatistics::slotRestore: %s: len=%d\n", qPrintable(ident), int(bytes.size()));
    if (bytes.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Velloran Pro"),
                             QStringLiteral("This message cannot be restored: its copy in the Recycle Bin "
                                            "is missing or empty."));
        return;
    }
    const StoreOptions *options = StoreOptions::options();
    const DataOptionsSummary &summary = options->summary;
    const DataEmailMessage message = restoredMessage(bytes, summary.outgoingEmailAddress);
    SMTPSender *sender = SMTPSender::self("__restore__");
    const QString notice =
        QStringLiteral("The restored email is being sent to %1, however only %2 lines of the "
                       "original email had been previewed and stored in the Recycle Bin")
            .arg(summary.outgoingEmailAddress.toHtmlEscaped(),
                 QString::number(options->general.spamThrottle()));
    DialogRestore progress(sender, notice, this, nullptr);
    sender->sendMessage(true, summary.outgoingEmailServer, summary.advanced, QString(), QString(), message,
                        message.rawFrom, bareAddress(summary.outgoingEmailAddress).trimmed());
    progress.exec();
}

void VLStatistics::slotFinish() {
    accept();
}
