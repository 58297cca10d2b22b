#include "vl_summary.h"

#include "app_clock.h"
#include "vl_history.h"

#include "data/time_units.h"

#include <QObject>
#include <QStringList>

namespace {

// Each period reaches back this far from the coming midnight.
constexpr qint64 PeriodLength[VLSummary::Periods] = {kSecondsPerDay, 7 * kSecondsPerDay, 14 * kSecondsPerDay,
                                                     28 * kSecondsPerDay, 56 * kSecondsPerDay};
const char *const PeriodName[VLSummary::Periods] = {"day", "week", "two weeks", "four weeks", "eight weeks"};

// The verdicts that count as spam filtered (not the community lookup on its own).
constexpr int SpamFilteredMask = DataEmailStatus::LogJunkVerdicts;

QString heading(const char *group) {
    return QStringLiteral("    %1:\n").arg(QObject::tr(group));
}

QString item(const char *label, int value) {
    return QStringLiteral("        %1: %2\n").arg(QObject::tr(label), QString::number(value));
}

} // namespace

void VLSummary::clear() {
    for (VLSummaryInfo &info : m_info)
        info = VLSummaryInfo();
}

void VLSummary::add(const DataEmailSummary *record) {
    const qint64 now = AppClock::now();
    const qint64 end = now - now % kSecondsPerDay + kSecondsPerDay;
    // 64-bit: a record of any age counts where it belongs, after 2038 too. A record from the
    // future has a negative age and counts everywhere.
    const qint64 age = end - qint64(record->processed);
    for (int period = 0; period < Periods; ++period) {
        if (age <= PeriodLength[period])
            addToInfo(record, m_info[period]);
    }
}

void VLSummary::addToInfo(const DataEmailSummary *record, VLSummaryInfo &info) {
    const int bits = record->logging;
    ++info.received;
    if (bits == 0) {
        ++info.unclassified;
        return;
    }
    const struct {
        int bit;
        int VLSummaryInfo::*counter;
    } counters[] = {
        {DataEmailStatus::LogTMFound, &VLSummaryInfo::tallowmark},
        {DataEmailStatus::LogDNSRBL, &VLSummaryInfo::dnsBlacklist},
        {DataEmailStatus::LogProbableSpam, &VLSummaryInfo::probablySpam},
        {DataEmailStatus::LogPossibleSpam, &VLSummaryInfo::possiblySpam},
        {DataEmailStatus::LogJunkFilter, &VLSummaryInfo::userFilters},
        {DataEmailStatus::LogLegitFilter, &VLSummaryInfo::legitimateFilters},
        {DataEmailStatus::LogBlacklist, &VLSummaryInfo::blacklisted},
        {DataEmailStatus::LogFriend, &VLSummaryInfo::friendsList},
        {DataEmailStatus::LogBounce, &VLSummaryInfo::bounced},
        {DataEmailStatus::LogDelete, &VLSummaryInfo::deleted},
        {DataEmailStatus::LogTMReport, &VLSummaryInfo::reported},
    };
    for (const auto &c : counters) {
        if (bits & c.bit)
            ++(info.*c.counter);
    }
    if (bits & SpamFilteredMask)
        ++info.spamFiltered;
}

void VLSummary::loadSummary() {
    for (const DataEmailSummary *record : *VLHistory::self()->emailList())
        add(record);
}

QString VLSummary::infoAsEmail() const {
    QStringList sections;
    for (int period = 0; period < Periods; ++period)
        sections.append(infoAsEmail(QLatin1String(PeriodName[period]), m_info[period]));
    return sections.join(u'\n');
}

int VLSummary::spamPercentage(const VLSummaryInfo &info) {
    return int(double(info.spamFiltered) / double(info.received) * 100.0);
}

QString VLSummary::infoAsEmail(const QString &period, const VLSummaryInfo &info) {
    QString text = QStringLiteral("Statistics for last %1\n").arg(period);
    text += heading("Spam");
    text += item("Tallowmark!", info.tallowmark);
    text += item("DNS Blacklist", info.dnsBlacklist);
    text += item("Probably Spam", info.probablySpam);
    text += item("Possibly Spam", info.possiblySpam);
    text += item("User Filters", info.userFilters);
    text += item("Blacklisted", info.blacklisted);
    text += heading("Legitimate Mail");
    text += item("Friends List", info.friendsList);
    text += item("Legitimate Filters", info.legitimateFilters);
    text += heading("Action Taken");
    text += item("Emails Bounced ", info.bounced);
    text += item("Emails Deleted ", info.deleted);
    text += item("Emails Reported", info.reported);
    text += heading("Final Summary");
    text += item("Emails Received", info.received);
    text += item("Unclassified", info.unclassified);
    text += item("Spam Filtered", info.spamFiltered);
    if (info.spamFiltered >= 1) {
        text += item("Spam as percentage (%)", spamPercentage(info));
    }
    return text;
}
