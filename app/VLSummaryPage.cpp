#include "VLSummaryPage.h"

namespace {

QString heading(const char *colour, const QString &title) {
    return QStringLiteral(
               "    <tr bgcolor='%1'><td colspan='3'><font color='white'><b>%2</b></font></td></tr>\n")
        .arg(QLatin1String(colour), title);
}

QString item(const QString &label, int value) {
    return QStringLiteral(
               "    <tr><td width='10'> </td><td align='left'>%1</td><td align='right'>%2</td></tr>\n")
        .arg(label, QString::number(value));
}

} // namespace

VLSummaryPage::VLSummaryPage(QWidget *parent, const char *name) : QTextBrowser(parent) {
    setObjectName(QLatin1String(name));
    setOpenLinks(false);
}

void VLSummaryPage::display(int period) {
    if (period < 0 || period >= Periods)
        return;
    setHtml(infoAsText(m_info[period]));
}

void VLSummaryPage::clear() {
    VLSummary::clear();
    setHtml(infoAsText(VLSummaryInfo()));
}

QString VLSummaryPage::infoAsText(const VLSummaryInfo &info) const {
    QString text =
        QStringLiteral("<qt bgcolor='%1'>\n").arg(palette().color(viewport()->backgroundRole()).name());
    text += QStringLiteral("  <table width='100%'>\n");
    text += heading("red", QTextBrowser::tr("Spam"));
    text += item(QTextBrowser::tr("Tallowmark!"), info.tallowmark);
    text += item(QTextBrowser::tr("DNS Blacklist"), info.dnsBlacklist);
    text += item(QTextBrowser::tr("Probably Spam"), info.probablySpam);
    text += item(QTextBrowser::tr("Possibly Spam"), info.possiblySpam);
    text += item(QTextBrowser::tr("User Filters"), info.userFilters);
    text += item(QTextBrowser::tr("Blacklisted"), info.blacklisted);
    text += heading("green", QTextBrowser::tr("Legitimate Mail"));
    text += item(QTextBrowser::tr("Friends List"), info.friendsList);
    text += item(QTextBrowser::tr("Legitimate Filters"), info.legitimateFilters);
    text += heading("blue", QTextBrowser::tr("Action Taken"));
    text += item(QTextBrowser::tr("Emails Bounced "), info.bounced);
    text += item(QTextBrowser::tr("Emails Deleted "), info.deleted);
    text += item(QTextBrowser::tr("Emails Reported"), info.reported);
    text += heading("black", QTextBrowser::tr("Final Summary"));
    text += item(QTextBrowser::tr("Emails Received"), info.received);
    text += item(QTextBrowser::tr("Unclassified"), info.unclassified);
    text += item(QTextBrowser::tr("Spam Filtered"), info.spamFiltered);
    if (info.spamFiltered >= 1)
        text += item(QTextBrowser::tr("Spam as percentage (%)"), spamPercentage(info));
    text += QStringLiteral("  </table>\n");
    text += QStringLiteral("</qt>\n");
    return text;
}
