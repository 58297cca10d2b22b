#include "VLScanner.h"

#include "FilterTexts.h"
#include "LinearPatterns.h"
#include "PatternSearch.h"
#include "VLBayes.h"
#include "VLDNSRBL.h"
#include "VLTM.h"

#include "data/data_email.h"
#include "data/store_account_list.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"

#include <cmath>
#include <cstdio>

namespace {

const int kSaveDelayMs = 2000;

// Executable file-name extensions, compared lower-cased.
const char *const bad[] = {"exe", "com", "bat", "scr", "hta", "hte",   "pif", "lnk",
                           "js",  "wsh", "wsf", "shs", "bas", "class", "dat", "ocx"};

QRegularExpression scriptPattern(const char *language) {
    QRegularExpression re = PatternSearch::compile(
        QStringLiteral("<\\s*script[^<>]*language\\s*(=|=3D)[\\s\"]*%1[^<>]*>").arg(QLatin1String(language)),
        PatternSearch::Case::Insensitive);
    re.setPatternOptions(re.patternOptions() | QRegularExpression::InvertedGreedinessOption);
    re.optimize();
    return re;
}

// The actions a blacklist or community listing asks for, from that service's settings.
template <typename Settings> void applyListing(const Settings &settings, DataEmailStatus &status) {
    if (settings.markForDeletion)
        status.delete_ = 1;
    if (settings.markForBouncing)
        status.bounce = 1;
    if (settings.displayOrHide == 2)
        status.hide = true;
    if (settings.addToBlacklist)
        status.markBlacklist = true;
    if (settings.whence == 2)
        status.autoDelete = true;
}

double clampUnit(double v) {
    if (std::isnan(v) || v >= 1.0)
        return 1.0;
    return v < 0.0 ? 0.0 : v;
}

} // namespace

double increaseProb(double p, double w) {
    p = clampUnit(p);
    w = clampUnit(w);
    return p + (1.0 - p) * w;
}

VLScanner &VLScanner::self() {
    static VLScanner *instance = new VLScanner;
    return *instance;
}

VLScanner::VLScanner()
    : m_friends(StoreListEmailMatch::friends()), m_blacklist(StoreListEmailMatch::blacklist()),
      m_filters(StoreListEmailFilter::filter()), m_tools(StoreTools::tools()) {
    begin();
}

void VLScanner::begin() {
    m_friendsChanged = false;
    m_blacklistChanged = false;
    m_legitColor.clear();
    m_junkColor.clear();
    const DataToolsLearning &learning = m_tools->learning;
    if (learning.legit.colorRow)
        m_legitColor = learning.legit.useColor;
    if (learning.spam.colorRow)
        m_junkColor = learning.spam.useColor;
}

void VLScanner::finish() {
    if (m_friendsChanged)
        m_friends->saveDelayed(kSaveDelayMs);
    if (m_blacklistChanged)
        m_blacklist->saveDelayed(kSaveDelayMs);
    begin();
}

void VLScanner::applyFilter(const DataEmailFilter &filter, DataEmailStatus &status) const {
    if (filter.legitimate) {
        status.logging |= DataEmailStatus::LogLegitFilter;
        status.bgColor = m_legitColor;
    } else {
        if (filter.markDelete)
            status.delete_ = 1;
        if (filter.markBounce)
            status.bounce = 1;
        if (filter.markBlacklist)
            status.markBlacklist = true;
        if (filter.whence == 2)
            status.autoDelete = true;
        status.logging |= DataEmailStatus::LogJunkFilter;
        status.bgColor = m_junkColor;
    }
    if (filter.displayOrHide == 2)
        status.hide = true;
    status.state = 2;
    status.klass = DataEmailStatus::KlassFilter;
    status.status = filter.statusDescription;
    // The name is the user's text inside rich text.
    status.reason +=
        QLatin1String("<nobr>* ") + filter.filterName.toHtmlEscaped() + QLatin1String(" Filter</nobr><br/>");
    status.stColor = filter.color;
}

void VLScanner::scan(const DataEmailMessage &msg, DataEmailStatus &status) {
    status.clear();

    if (!msg.VLMessageID.isEmpty()) {
        std::fprintf(stderr, "VLScanner::scan: got X-VLMessage-ID [%s]\n",
                     msg.VLMessageID.toUtf8().constData());
        if (msg.VLMessageID == StoreAccountList::accounts()->VLMessageID) {
            std::fprintf(stderr, "VLScanner::scan:: ..... has been saved\n");
            status.status = tr("Restored");
            status.reason = QString();
            return;
        }
    }

    FilterTexts texts(msg);
    if (const DataEmailFilter *filter = firstMatchingFilter(*m_filters, texts, true)) {
        applyFilter(*filter, status);
        return;
    }

    const DataTools &tools = *m_tools;
    if (m_friends->match(msg.rawFrom)) {
        // The match stamped the entry as used. The store is marked changed without its
        // signal: the mail list rescans on that signal, which would scan again and again.
        m_friendsChanged = true;
        m_friends->setChanged(false);
        status.delete_ = 0;
        status.bounce = 0;
        status.isBlacklist = false;
        status.isFriend = true;
        status.state = 2;
        status.status = QStringLiteral("Friend");
        status.klass = DataEmailStatus::KlassFriend;
        status.logging |= DataEmailStatus::LogFriend;
        status.bgColor = m_legitColor;
        if (tools.friends.action == 2)
            status.hide = true;
        return;
    }

    if (const DataEmailFilter *filter = firstMatchingFilter(*m_filters, texts, false)) {
        applyFilter(*filter, status);
        return;
    }

    if (tools.learning.learn.teach) {
        const int r = VLBayes::self().evaluateEMail(msg, status.bayesProb);
        status.bayesRaw = r;
        if (r == VLBayes::Junk) {
            messageIsJunk(msg, status);
            status.logging |= DataEmailStatus::LogProbableSpam;
        } else if (r == VLBayes::Legitimate) {
            messageIsLegit(msg, status);
        } else if (status.bayesProb >= 0.32f) {
            status.status = tr("Possible spam");
            status.logging |= DataEmailStatus::LogPossibleSpam;
        }
    }

    if (m_blacklist->match(msg.rawFrom)) {
        m_blacklistChanged = true;
        m_blacklist->setChanged(false);
        status.delete_ = tools.blacklist.markDelete ? 1 : 0;
        status.bounce = tools.blacklist.markBounce ? 1 : 0;
        status.isBlacklist = true;
        status.isFriend = false;
        status.state = 2;
        status.status = tr("BlackListed");
        status.reason += QLatin1String("<nobr>* Blacklisted</nobr><br/>");
        status.klass = DataEmailStatus::KlassBlacklist;
        status.logging |= DataEmailStatus::LogBlacklist;
        status.bgColor = m_junkColor;
        if (tools.blacklist.action == 2)
            status.autoDelete = true;
    }

    if (tools.origin.checkDNS && status.klass == DataEmailStatus::KlassNone)
        VLDNSRBL::self().startLookup(msg);

    if (tools.tm.enableTM)
        VLTM::self().enqueueRequest(msg, false);

    status.virusProb = 0;
    if (attachedExec(msg))
        status.virusProb = static_cast<float>(increaseProb(status.virusProb, 0.69));
    if (containsJSScript(msg))
        status.virusProb = static_cast<float>(increaseProb(status.virusProb, 0.2));
    if (containsVBScript(msg))
        status.virusProb = static_cast<float>(increaseProb(status.virusProb, 0.65));
    if (status.virusProb > 0)
        std::fprintf(stderr, "VLScanner::scan: virusProb=%f\n", static_cast<double>(status.virusProb));
    status.scanned = true;
    status.state = 2;
    const char *verdict = status.virusProb > 0.8f    ? "Virus"
                          : status.virusProb > 0.73f ? "Probable Virus"
                          : status.virusProb > 0.5f  ? "Possible Virus"
                                                     : nullptr;
    if (verdict) {
        status.status = QLatin1String(verdict);
        status.klass = DataEmailStatus::KlassJunk;
        status.bgColor = m_junkColor;
    }
}

bool VLScanner::applyRBLMatch(const QString &listName, DataEmailStatus &status) const {
    if (status.klass != DataEmailStatus::KlassNone)
        return false;
    // The status is plain text; the reason is rich text and gets only fixed markup here.
    status.status = listName;
    status.reason += QLatin1String("<nobr>*  Realtime Blackhole List</nobr><br/>");
    status.klass = DataEmailStatus::KlassDNSRBL;
    status.logging |= DataEmailStatus::LogDNSRBL;
    applyListing(m_tools->origin, status);
    colourAsSpam(status);
    return true;
}

bool VLScanner::applyTMMatch(DataEmailStatus &status) const {
    // A verdict that is the user's own (a friend, a filter saying legitimate) stands.
    if (status.klass == DataEmailStatus::KlassFriend || (status.logging & DataEmailStatus::LogLegitFilter))
        return false;
    status.status = QStringLiteral("Known Spam");
    status.reason += QLatin1String("<nobr>*  Tallow Mark!</nobr><br/>");
    status.klass = DataEmailStatus::KlassTM;
    // Counted in the mail log and the summary as a community match.
    status.logging |= DataEmailStatus::LogTMFound;
    applyListing(m_tools->tm, status);
    colourAsSpam(status);
    return true;
}

void VLScanner::colourAsSpam(DataEmailStatus &status) const {
    // The setting as it is now, not as the pass began: the answer comes after the pass.
    const DataToolsLearningSpam &spam = m_tools->learning.spam;
    if (spam.colorRow)
        status.bgColor = spam.useColor;
}

void VLScanner::messageIsJunk(const DataEmailMessage &msg, DataEmailStatus &status) {
    Q_UNUSED(msg);
    status.state = 2;
    status.status = tr("Probable spam");
    status.klass = DataEmailStatus::KlassJunk;
    status.bayesCategory = DataEmailStatus::Spam;
    status.learnSpam = 2;
    const DataToolsLearningSpam &spam = m_tools->learning.spam;
    if (!spam.doAction)
        return;
    if (!spam.displayEmail)
        status.hide = true;
    if (spam.markDelete)
        status.delete_ = 1;
    if (spam.markBounce)
        status.bounce = 1;
    if (spam.markBlackList)
        status.markBlacklist = true;
    if (spam.colorRow)
        status.bgColor = m_junkColor;
}

void VLScanner::messageIsLegit(const DataEmailMessage &msg, DataEmailStatus &status) {
    Q_UNUSED(msg);
    status.state = 2;
    status.status = tr("Legitimate");
    status.klass = DataEmailStatus::KlassLegit;
    status.bayesCategory = DataEmailStatus::Legitimate;
    status.learnLegit = 2;
    const DataToolsLearningLegit &legit = m_tools->learning.legit;
    if (!legit.doAction)
        return;
    if (!legit.displayEmail)
        status.hide = true;
    if (legit.markFriend)
        status.markFriend = true;
    if (legit.colorRow)
        status.bgColor = m_legitColor;
}

bool VLScanner::attachedExec(const DataEmailMessage &msg) {
    QString name;
    if (!LinearPatterns::attachmentName(msg.body_, name))
        return false;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot + 1).toLower();
    for (const char *entry : bad) {
        if (extension == QLatin1String(entry))
            return true;
    }
    return extension.startsWith(QLatin1String("vb"));
}

bool VLScanner::containsJSScript(const DataEmailMessage &msg) {
    static const QRegularExpression cs = scriptPattern("javascript");
    return PatternSearch::search(cs, msg.body_, "VLScanner::containsJSScript") ==
           PatternSearch::Result::Found;
}

bool VLScanner::containsVBScript(const DataEmailMessage &msg) {
    static const QRegularExpression vb = scriptPattern("vbscript");
    return PatternSearch::search(vb, msg.body_, "VLScanner::containsVBScript") ==
           PatternSearch::Result::Found;
}
