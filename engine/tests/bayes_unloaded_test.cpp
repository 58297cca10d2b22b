// A classifier whose state was never loaded: every message is undecided and training is
// skipped (its own process, so no other test has loaded the state first).

#include "VLBayes.h"

#include "data/data_email.h"
#include "data/store.h"

#include "TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(BayesUnloaded, UndecidedAndNothingTrained) {
    vltest::TempDir dir("vlbayes");
    Store::setDataDir(QString::fromStdString(dir.path()));
    DataEmailMessage m;
    m.headers = u"Subject: cheap pills\n"_s;
    m.body_ = u"cheap pills, click here\n"_s;
    ASSERT_FALSE(VLBayes::self().loaded());

    ::testing::internal::CaptureStderr();
    float prob = -1;
    EXPECT_EQ(VLBayes::self().evaluateEMail(m, prob), VLBayes::Undecided);
    EXPECT_EQ(VLBayes::self().evaluateEMail(m, prob), VLBayes::Undecided);
    EXPECT_EQ(prob, 0.0f);
    VLBayes::self().trainEMail(m, true, false);
    VLBayes::self().saveState();
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("VLBayes::evaluateEMail: "), std::string::npos) << trace;
    EXPECT_NE(trace.find("VLBayes::trainEMail: "), std::string::npos) << trace;
    EXPECT_FALSE(VLBayes::self().dirty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("bayesdata.vlp"))));
}
