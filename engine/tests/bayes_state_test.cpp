// The Bayes state of the application: its file in the data folder, the start-up table it
// falls back to, what happens to a damaged file, saving only what changed, and the text
// the classifier is given.

#include "VLBayes.h"

#include "data/data_email.h"
#include "data/store.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <string>

using namespace Qt::StringLiterals;

namespace {

DataEmailMessage fixture(const std::string &name) {
    const std::string bytes = vltest::readFile(std::string(VL_TEST_DATA_DIR) + "/bayes/" + name + ".eml");
    DataEmailMessage m;
    m.uid = QString::fromStdString(name);
    m.loadEmail(SODataArray(QByteArray(bytes.data(), qsizetype(bytes.size()))));
    return m;
}

const char *const kSpam[] = {"spam1", "spam2", "spam3", "spam4", "spam7", "spam8", "spam5", "spam6"};
const char *const kHam[] = {"ham1", "ham2", "ham3", "ham4", "ham7", "ham8", "ham5", "ham6"};
constexpr int kTrained = 7; // the last of each side is held out
constexpr int kHeldOut = 7;

int verdict(const DataEmailMessage &m) {
    float prob = -1;
    const int v = VLBayes::self().evaluateEMail(m, prob);
    EXPECT_GE(prob, 0.0f);
    EXPECT_LE(prob, 1.0f);
    return v;
}

void trainAllButOne() {
    for (int i = 0; i < kTrained; ++i) {
        VLBayes::self().trainEMail(fixture(kSpam[i]), true, false);
        VLBayes::self().trainEMail(fixture(kHam[i]), false, false);
    }
}

size_t count(const std::string &text, const std::string &what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class BayesState : public ::testing::Test {
protected:
    void SetUp() override { useFolder(dir.path()); }
    static void useFolder(const std::string &path) { Store::setDataDir(QString::fromStdString(path)); }
    [[nodiscard]] std::string stateFile() const { return dir.file("bayesdata.vlp"); }
    static bool exists(const std::string &path) { return QFileInfo::exists(QString::fromStdString(path)); }
    // A trained state saved in another folder, as the previous version's start-up table;
    // the data folder is this test's again afterwards.
    QString startupTable() {
        useFolder(old.path());
        VLBayes::self().initState();
        trainAllButOne();
        VLBayes::self().saveState();
        useFolder(dir.path());
        const QString table = QString::fromStdString(old.file("bayesdata.vlp"));
        EXPECT_TRUE(QFileInfo::exists(table));
        return table;
    }

    vltest::TempDir dir{"vlbayes"};
    vltest::TempDir old{"vlbayes-old"};
};

TEST_F(BayesState, MissingFileGivesFreshDataAndOneTrace) {
    ::testing::internal::CaptureStderr();
    VLBayes::self().loadState(QString());
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(trace, "\n"), 1u) << trace;
    EXPECT_EQ(trace.rfind("VLBayes::loadState: failed to load data: ", 0), 0u) << trace;
    EXPECT_TRUE(VLBayes::self().loaded());
    EXPECT_FALSE(VLBayes::self().dirty());
    EXPECT_FALSE(exists(stateFile() + ".bad"));
}

TEST_F(BayesState, FreshDataCallsEveryFixtureUndecided) {
    VLBayes::self().initState();
    for (const char *name : kSpam)
        EXPECT_EQ(verdict(fixture(name)), VLBayes::Undecided) << name;
    for (const char *name : kHam)
        EXPECT_EQ(verdict(fixture(name)), VLBayes::Undecided) << name;
    DataEmailMessage empty;
    EXPECT_EQ(verdict(empty), VLBayes::Undecided);
}

// Spam and legitimate fixtures share their headers' form; only the bodies tell them apart,
// so the verdicts hold only when the classifier reads the body as body.
TEST_F(BayesState, HeldOutMessagesAreJudgedByTheirBodies) {
    VLBayes::self().initState();
    trainAllButOne();
    EXPECT_TRUE(VLBayes::self().dirty());
    float prob = 0;
    EXPECT_EQ(VLBayes::self().evaluateEMail(fixture(kSpam[kHeldOut]), prob), VLBayes::Junk) << prob;
    EXPECT_EQ(VLBayes::self().evaluateEMail(fixture(kHam[kHeldOut]), prob), VLBayes::Legitimate) << prob;
}

TEST_F(BayesState, ClassifierTextHasAnEmptyLineBeforeTheBody) {
    DataEmailMessage m;
    m.headers = u"From: a@example.com\r\nSubject: x\r\n"_s;
    m.body_ = u"body "_s + QChar(0xe9) + u"\n"_s;
    EXPECT_EQ(VLBayes::messageText(m), QByteArray("From: a@example.com\r\nSubject: x\r\n\nbody \xe9\n"));
    m.headers = u"Subject: no line end"_s;
    EXPECT_EQ(VLBayes::messageText(m), QByteArray("Subject: no line end\n\nbody \xe9\n"));
    m.headers.clear();
    EXPECT_EQ(VLBayes::messageText(m), QByteArray("\nbody \xe9\n"));
}

TEST_F(BayesState, SavesOnlyAfterTraining) {
    VLBayes::self().loadState(QString());
    VLBayes::self().saveState();
    EXPECT_FALSE(exists(stateFile()));

    trainAllButOne();
    VLBayes::self().saveState();
    EXPECT_TRUE(exists(stateFile()));
    EXPECT_FALSE(VLBayes::self().dirty());

    // Reloaded, the training is still there.
    VLBayes::self().loadState(QString());
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Junk);
    EXPECT_EQ(verdict(fixture(kHam[kHeldOut])), VLBayes::Legitimate);
}

TEST_F(BayesState, FallsBackToTheStartupTableUntilItsOwnFileExists) {
    const QString table = startupTable();
    VLBayes::self().loadState(table);
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Junk);
    EXPECT_FALSE(VLBayes::self().dirty());
    VLBayes::self().saveState();
    EXPECT_FALSE(exists(stateFile())) << "nothing trained, nothing written";

    VLBayes::self().trainEMail(fixture(kSpam[kHeldOut]), true, false);
    VLBayes::self().saveState();
    EXPECT_TRUE(exists(stateFile()));

    // The own file wins from now on, even when the table is gone.
    ASSERT_TRUE(QFile::remove(table));
    ::testing::internal::CaptureStderr();
    VLBayes::self().loadState(table);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Junk);
}

TEST_F(BayesState, AFailedSaveStaysDirtyUntilAGoodOne) {
    VLBayes::self().initState();
    trainAllButOne();
    vltest::writeFile(dir.file("plain"), "not a folder");
    useFolder(dir.file("plain") + "/data");
    ::testing::internal::CaptureStderr();
    VLBayes::self().saveState();
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(trace.rfind("VLBayes::saveState: ", 0), 0u) << trace;
    EXPECT_TRUE(VLBayes::self().dirty());

    useFolder(dir.path());
    VLBayes::self().saveState();
    EXPECT_FALSE(VLBayes::self().dirty());
    EXPECT_TRUE(exists(stateFile()));
}

TEST_F(BayesState, ADamagedFileIsKeptAsideAndNotOverwritten) {
    VLBayes::self().initState();
    trainAllButOne();
    VLBayes::self().saveState();
    const std::string whole = vltest::readFile(stateFile());
    const std::string damaged = whole.substr(0, whole.size() / 2);
    vltest::writeFile(stateFile(), damaged);

    ::testing::internal::CaptureStderr();
    VLBayes::self().loadState(QString());
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("VLBayes::loadState: failed to load data: "), std::string::npos) << trace;
    EXPECT_NE(trace.find("bayesdata.vlp.bad"), std::string::npos) << trace;
    EXPECT_EQ(vltest::readFile(stateFile() + ".bad"), damaged);
    EXPECT_FALSE(exists(stateFile()));
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Undecided) << "fresh data";

    // The next save writes a new file beside the kept one.
    VLBayes::self().trainEMail(fixture(kSpam[0]), true, false);
    VLBayes::self().saveState();
    EXPECT_TRUE(exists(stateFile()));
    EXPECT_EQ(vltest::readFile(stateFile() + ".bad"), damaged);
}

TEST_F(BayesState, ADamagedFileFallsBackToTheStartupTableOnFreshData) {
    const QString table = startupTable();
    vltest::writeFile(stateFile(), std::string("\x01\x02\x03", 3));
    VLBayes::self().loadState(table);
    EXPECT_TRUE(exists(stateFile() + ".bad"));
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Junk);
    EXPECT_EQ(verdict(fixture(kHam[kHeldOut])), VLBayes::Legitimate);
}

TEST_F(BayesState, AnUnreadableStartupTableLeavesFreshData) {
    vltest::writeFile(dir.file("table.vlp"), "garbage");
    ::testing::internal::CaptureStderr();
    VLBayes::self().loadState(QString::fromStdString(dir.file("table.vlp")));
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("VLBayes::loadState: failed to load orig: "), std::string::npos) << trace;
    EXPECT_TRUE(VLBayes::self().loaded());
    EXPECT_EQ(verdict(fixture(kSpam[kHeldOut])), VLBayes::Undecided);
}

} // namespace
