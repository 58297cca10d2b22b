#include "VLBayes.h"

#include "bayes/BayesLibrary.h"
#include "data/data_email.h"
#include "data/store.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char *const kStateFile = "bayesdata.vlp";
const float kJunkFrom = 0.5f;
const float kLegitimateUpTo = 0.32f;

// The Bayes library promises not to throw; a guard per call keeps that promise from being
// the only thing between a bad message and the end of the process.
template <typename Call> bool guarded(const char *where, Call &&call) {
    try {
        call();
        return true;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", where, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unknown exception\n", where);
    }
    return false;
}

QByteArray encodedPath(const QString &path) {
    return QFile::encodeName(path);
}

} // namespace

VLBayes &VLBayes::self() {
    static VLBayes *instance = new VLBayes;
    return *instance;
}

VLBayes::~VLBayes() {
    destroyTrainingData(m_data);
}

QString VLBayes::statePath() {
    return Store::dataDir() + QLatin1String(kStateFile);
}

QByteArray VLBayes::messageText(const DataEmailMessage &message) {
    // Without the empty line the tokenizer would read the body as more header lines.
    QString text = message.headers;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    text += QLatin1Char('\n');
    text += message.body_;
    return text.toLatin1();
}

bool VLBayes::freshData(const char *where) {
    destroyTrainingData(m_data);
    m_data = nullptr;
    m_dirty = false;
    ExportedData *data = nullptr;
    if (!guarded(where, [&] { createTrainingData(&data); }) || data == nullptr) {
        std::fprintf(stderr, "%s: no training data could be made\n", where);
        return false;
    }
    m_data = data;
    return true;
}

void VLBayes::initState() {
    freshData("VLBayes::initState");
}

void VLBayes::loadState(const QString &startPath) {
    if (!freshData("VLBayes::loadState"))
        return;
    const QString path = statePath();
    const QByteArray file = encodedPath(path);
    const char *error = nullptr;
    if (!guarded("VLBayes::loadState",
                 [&] { error = loadTrainedData(file.constData(), m_data, nullptr, nullptr); }))
        error = "exception while loading";
    if (error == nullptr)
        return;
    std::fprintf(stderr, "VLBayes::loadState: failed to load data: %s\n", error);

    if (QFileInfo::exists(path)) {
        // The user's training is in that file; keep it aside before the next save writes a
        // fresh file over it.
        const QByteArray bad = encodedPath(path + QLatin1String(".bad"));
        if (std::rename(file.constData(), bad.constData()) == 0)
            std::fprintf(stderr, "VLBayes::loadState: kept the unreadable state as %s\n", bad.constData());
        else
            std::fprintf(stderr, "VLBayes::loadState: cannot rename %s to %s: %s\n", file.constData(),
                         bad.constData(), std::strerror(errno));
        // Whatever the failed load left, the fallback starts from fresh data.
        if (!freshData("VLBayes::loadState"))
            return;
    }

    if (startPath.isEmpty())
        return;
    const QByteArray start = encodedPath(startPath);
    if (!guarded("VLBayes::loadState",
                 [&] { error = loadTrainedData(start.constData(), m_data, nullptr, nullptr); }))
        error = "exception while loading";
    if (error != nullptr) {
        std::fprintf(stderr, "VLBayes::loadState: failed to load orig: %s\n", error);
        freshData("VLBayes::loadState");
    }
}

void VLBayes::saveState() {
    if (!m_dirty || m_data == nullptr)
        return;
    const QByteArray file = encodedPath(statePath());
    const char *error = nullptr;
    if (!guarded("VLBayes::saveState",
                 [&] { error = saveTrainedData(file.constData(), m_data, nullptr, 0); }))
        error = "exception while saving";
    if (error != nullptr) {
        std::fprintf(stderr, "VLBayes::saveState: %s\n", error);
        return;
    }
    m_dirty = false;
}

void VLBayes::trainEMail(const DataEmailMessage &message, bool isJunk, bool untrain) {
    if (m_data == nullptr) {
        std::fprintf(stderr, "VLBayes::trainEMail: no training data loaded; message %s not trained\n",
                     message.uid.toUtf8().constData());
        return;
    }
    const QByteArray text = messageText(message);
    guarded("VLBayes::trainEMail", [&] { train(m_data, isJunk, untrain, text.constData()); });
    m_dirty = true;
}

int VLBayes::evaluateEMail(const DataEmailMessage &message, float &prob) {
    prob = 0.0f;
    if (m_data == nullptr) {
        // Asked for every message: say it once.
        static bool told = false;
        if (!told)
            std::fprintf(stderr,
                         "VLBayes::evaluateEMail: no training data loaded; every message is undecided\n");
        told = true;
        return Undecided;
    }
    const QByteArray text = messageText(message);
    unsigned int counted = 0;
    float score = 0.0f;
    if (!guarded("VLBayes::evaluateEMail",
                 [&] { score = evaluateWithEvidence(m_data, text.constData(), &counted); }))
        return Undecided;
    prob = score;
    // A score without a single telling token is the shift alone, not a judgement.
    if (counted == 0)
        return Undecided;
    if (prob >= kJunkFrom)
        return Junk;
    if (prob <= kLegitimateUpTo)
        return Legitimate;
    return Undecided;
}
