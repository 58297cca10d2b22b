#pragma once
// The application's one set of Bayes training data and its file "bayesdata.vlp" in the
// data folder: loaded at start-up, asked for a verdict on every message, trained on the
// messages the user marks and saved after each processing run.

#include <QString>

class DataEmailMessage;
struct ExportedData;

class VLBayes {
public:
    // Verdicts of evaluateEMail.
    enum Verdict { Undecided = 0, Junk = 1, Legitimate = 2 };

    static VLBayes &self();

    VLBayes(const VLBayes &) = delete;
    VLBayes &operator=(const VLBayes &) = delete;

    // Starts from empty training data.
    void initState();
    // Loads "bayesdata.vlp" from the data folder, else the start-up table at startPath (when
    // not empty), into fresh training data. A state file that exists but does not load is
    // kept aside as "bayesdata.vlp.bad" so that no later save overwrites it.
    void loadState(const QString &startPath);
    // Writes the state file when training changed the data since the last load or save; a
    // failed write leaves the data marked changed, so the next call tries again.
    void saveState();

    // Adds the message to (untrain false) or takes it back from (untrain true) the junk
    // side or the legitimate side.
    void trainEMail(const DataEmailMessage &message, bool isJunk, bool untrain);
    // Stores the spam probability (0 to 1) in prob; Junk at 0.5 or more, Legitimate at 0.32
    // or less, else Undecided. A message in which no token carries evidence is Undecided
    // whatever its score.
    int evaluateEMail(const DataEmailMessage &message, float &prob);

    // The message as the classifier reads it: the header block, an empty line, the body,
    // each character one byte.
    [[nodiscard]] static QByteArray messageText(const DataEmailMessage &message);
    // The state file's path in the current data folder.
    [[nodiscard]] static QString statePath();

    // Whether the data changed since it was last loaded or saved.
    [[nodiscard]] bool dirty() const { return m_dirty; }
    // Whether training data exists (after initState or loadState).
    [[nodiscard]] bool loaded() const { return m_data != nullptr; }

private:
    VLBayes() = default;
    ~VLBayes();
    // Replaces the training data by fresh data; false (traced) when none could be made.
    bool freshData(const char *where);

    ExportedData *m_data = nullptr;
    bool m_dirty = false;
};
