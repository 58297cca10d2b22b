#include "VLSummaryMailer.h"

#include "VLOutgoingMail.h"

#include "app_clock.h"
#include "vl_summary.h"

#include "data/data_email.h"
#include "data/data_options_summary.h"
#include "data/store_options.h"
#include "data/vl_settings.h"
#include "proto/SMTPSender.h"

#include <QDateTime>

#include <cstdio>

namespace {

const char *const SenderName = "__summary__";

SMTPSender *summarySender() {
    SMTPSender *sender = SMTPSender::self(SenderName);
    // The sender goes on by itself after a failure; the summary only leaves a trace line.
    static const bool connected = [sender] {
        QObject::connect(sender, &SMTPSender::sigError, sender, [sender] {
            std::fprintf(stderr, "VLMainWindow::slotSendSummary: sending failed: %s\n",
                         qPrintable(sender->error()));
        });
        return true;
    }();
    Q_UNUSED(connected);
    return sender;
}

} // namespace

VLSummaryMailer::VLSummaryMailer(QObject *parent) : QObject(parent) {}

std::optional<qint64> VLSummaryMailer::period(int every) {
    switch (every) {
    case 0:
        return 86'400;
    case 1:
        return 172'800;
    case 2:
        return 604'800;
    case 3:
        return 1'209'600;
    case 4:
        return 2'419'200;
    default:
        return std::nullopt;
    }
}

bool VLSummaryMailer::sendIfDue(const DataOptionsSummary &options) {
    const qint64 now = AppClock::now();
    VLSettings settings;
    settings.beginGroup(QStringLiteral("statistics"));
    if (!settings.contains(QStringLiteral("lastsent")))
        settings.setValue(QStringLiteral("lastsent"), now);
    const qint64 last = settings.value(QStringLiteral("lastsent")).toLongLong();
    std::fprintf(stderr, "VLMainWindow::slotSendSummary: last=%lld (delta=%lld) send=%d every=%d\n",
                 static_cast<long long>(last), static_cast<long long>(now - last), int(options.emailSummary),
                 options.emailSummaryEvery);
    const auto every = period(options.emailSummaryEvery);
    if (!options.emailSummary || !every || now - last <= *every)
        return false;

    VLSummary summary;
    summary.loadSummary();
    DataEmailMessage message;
    message.from = options.outgoingEmailAddress;
    message.to = options.outgoingEmailAddress;
    message.subject = QStringLiteral("VelloranPro activity summary");
    message.body_ = summary.infoAsEmail();
    VLOutgoingMail::stamp(message, options.outgoingEmailAddress);
    summarySender()->sendMessage(false, options.outgoingEmailServer, options.advanced, QString(), QString(),
                                 message, options.outgoingEmailAddress, options.outgoingEmailAddress);
    std::fprintf(stderr, "%s\n", qPrintable(message.body_));
    settings.setValue(QStringLiteral("lastsent"), now);
    return true;
}

bool VLSummaryMailer::sendIfDue() {
    return sendIfDue(StoreOptions::options()->summary);
}
