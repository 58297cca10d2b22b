// Training and scoring through the exported functions, and what survives a save and load.

#include "BayesLibrary.h"
#include "BayesShift_p.h"
#include "TrainingDataPtr.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using DataPtr = vltest::TrainingDataPtr;
using vltest::freshTrainingData;

const std::string SPAM = "From: deals@example.com\nSubject: Cheap pills online\n\n"
                         "Buy cheap pills now, best prices guaranteed. Click here to order today.\n";
const std::string HAM =
    "From: anna@example.org\nSubject: Minutes of the meeting\n\n"
    "Attached are the minutes of yesterday's project meeting; please review the schedule.\n";
const std::string UNKNOWN = "From: x@example.net\nSubject: zebra\n\nquokka wombat platypus\n";

std::string crlf(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The engine's verdict on a reported value: junk from 0.5 up, legitimate at 0.32 or below.
enum class Verdict { Legitimate, Undecided, Junk };
Verdict engineVerdict(float value) {
    if (value >= 0.5f) {
        return Verdict::Junk;
    }
    return value <= 0.32f ? Verdict::Legitimate : Verdict::Undecided;
}

TEST(Scoring, ShiftPutsTheJunkCutOffAtSensitivityOne) {
    struct Case {
        const char *name;
        double raw;
        float reported;
        Verdict verdict;
    };
    const Case cases[] = {
        {"no evidence clamps to 0", 0.0, 0.0f, Verdict::Legitimate},
        {"just below the shift", 0.079, 0.0f, Verdict::Legitimate},
        {"legitimate cut-off", 0.40, 0.32f, Verdict::Legitimate},
        {"just above the legitimate cut-off", 0.4000001, 0.3200001f, Verdict::Undecided},
        {"old junk cut-off is now undecided", 0.44, 0.36f, Verdict::Undecided},
        {"just below the junk cut-off", 0.5799999, 0.4999999f, Verdict::Undecided},
        {"junk cut-off", 0.58, 0.5f, Verdict::Junk},
        {"certain junk", 1.0, 0.92f, Verdict::Junk},
        {"above the range clamps to 1", 1.2, 1.0f, Verdict::Junk},
        {"below the range clamps to 0", -0.5, 0.0f, Verdict::Legitimate},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const float reported = vlbayes::shiftAndClamp(c.raw);
        EXPECT_FLOAT_EQ(reported, c.reported);
        EXPECT_EQ(engineVerdict(reported), c.verdict);
    }
}

TEST(Scoring, NothingKnownScoresZero) {
    DataPtr data = freshTrainingData();
    unsigned int counted = 99;
    EXPECT_EQ(evaluateWithEvidence(data.get(), UNKNOWN.c_str(), &counted), 0.0f);
    EXPECT_EQ(counted, 0u);
    EXPECT_EQ(evaluate(data.get(), ""), 0.0f);
}

TEST(Scoring, TrainedMessagesScoreTheirSide) {
    DataPtr data = freshTrainingData();
    train(data.get(), true, false, SPAM.c_str());
    train(data.get(), false, false, HAM.c_str());
    unsigned int counted = 0;
    const float spam = evaluateWithEvidence(data.get(), SPAM.c_str(), &counted);
    EXPECT_GT(counted, 5u);
    EXPECT_GE(spam, 0.5f);
    const float ham = evaluateWithEvidence(data.get(), HAM.c_str(), &counted);
    EXPECT_GT(counted, 5u);
    EXPECT_LE(ham, 0.32f);
    // Line ends do not matter.
    EXPECT_EQ(evaluate(data.get(), crlf(SPAM).c_str()), spam);
    EXPECT_EQ(evaluate(data.get(), crlf(HAM).c_str()), ham);
}

TEST(Scoring, StrongJunkScoresJunkBelowTheShiftedTop) {
    DataPtr data = freshTrainingData();
    for (int i = 0; i < 10; ++i) {
        train(data.get(), true, false, SPAM.c_str());
    }
    // Even a certain probability of 1 reports 1 less the shift.
    const float value = evaluate(data.get(), SPAM.c_str());
    EXPECT_GE(value, 0.5f);
    EXPECT_LE(value, 0.92f);
}

TEST(Scoring, UntrainingRestoresTheScores) {
    DataPtr data = freshTrainingData();
    train(data.get(), false, false, HAM.c_str());
    const float spamBefore = evaluate(data.get(), SPAM.c_str());
    const float hamBefore = evaluate(data.get(), HAM.c_str());
    train(data.get(), true, false, SPAM.c_str());
    EXPECT_NE(evaluate(data.get(), SPAM.c_str()), spamBefore);
    train(data.get(), true, true, SPAM.c_str());
    EXPECT_EQ(evaluate(data.get(), SPAM.c_str()), spamBefore);
    EXPECT_EQ(evaluate(data.get(), HAM.c_str()), hamBefore);
    // Untraining what was never trained leaves counts at zero, not below: one training
    // afterwards makes its words plain junk words.
    train(data.get(), true, true, UNKNOWN.c_str());
    train(data.get(), true, true, UNKNOWN.c_str());
    train(data.get(), true, false, UNKNOWN.c_str());
    unsigned int counted = 0;
    EXPECT_FLOAT_EQ(evaluateWithEvidence(data.get(), UNKNOWN.c_str(), &counted), 0.75f - 0.08f);
    EXPECT_GT(counted, 3u);
}

TEST(Scoring, SaveAndLoadKeepEveryScore) {
    vltest::TempDir dir("bayes");
    const std::string path = dir.file("bayesdata.vlp");
    DataPtr data = freshTrainingData();
    train(data.get(), true, false, SPAM.c_str());
    train(data.get(), false, false, HAM.c_str());
    train(data.get(), false, false, UNKNOWN.c_str());
    ASSERT_EQ(saveTrainedData(path.c_str(), data.get(), "state", 5), nullptr);

    DataPtr loaded = freshTrainingData();
    char aux[8] = {};
    unsigned int auxLen = sizeof aux;
    ASSERT_EQ(loadTrainedData(path.c_str(), loaded.get(), aux, &auxLen), nullptr);
    EXPECT_EQ(std::string(aux, auxLen), "state");
    for (const std::string *message : {&SPAM, &HAM, &UNKNOWN}) {
        unsigned int a = 0;
        unsigned int b = 0;
        EXPECT_EQ(evaluateWithEvidence(loaded.get(), message->c_str(), &a),
                  evaluateWithEvidence(data.get(), message->c_str(), &b));
        EXPECT_EQ(a, b);
    }
    // Saving the loaded data writes the same file again.
    const std::string again = dir.file("again.vlp");
    ASSERT_EQ(saveTrainedData(again.c_str(), loaded.get(), "state", 5), nullptr);
    EXPECT_EQ(vltest::readFile(again), vltest::readFile(path));
}

TEST(Scoring, NullPointersAreHarmless) {
    DataPtr data = freshTrainingData();
    train(nullptr, true, false, SPAM.c_str());
    train(data.get(), true, false, nullptr);
    EXPECT_EQ(evaluate(nullptr, SPAM.c_str()), 0.0f);
    EXPECT_EQ(evaluate(data.get(), nullptr), 0.0f);
    unsigned int counted = 5;
    EXPECT_EQ(evaluateWithEvidence(nullptr, SPAM.c_str(), &counted), 0.0f);
    EXPECT_EQ(counted, 0u);
    EXPECT_EQ(evaluateWithEvidence(data.get(), UNKNOWN.c_str(), nullptr), 0.0f);
}

} // namespace
