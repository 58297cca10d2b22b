#pragma once
// General options (element "general" of the options record): start-up, minimising,
// periodic checks, sound, the user's mail program and the spam throttle.

#include "data.h"

#include <QStringList>

class DataOptionsGeneral : public Data {
public:
    DataOptionsGeneral();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    // Lines of each waiting message fetched for scoring: the stored value, at least 200.
    [[nodiscard]] int spamThrottle() const;
    // Display names of the preconfigured mail programs, in table order.
    static QStringList emailClientList();
    // The command line that starts the user's mail program; null when none is chosen.
    [[nodiscard]] QString emailClient() const;

    // Preconfigured mail programs: display name, program name, command line.
    static const char *const mailCmdList[4][3];

    bool launchAfterProcess;
    bool useSpecifiedClient;     // specifiedClient rather than a row of mailCmdList
    QString preconfiguredClient; // display name of a row of mailCmdList
    QString specifiedClient;     // the user's own command line
    bool minimiseAfterProcess;
    bool playSoundOnNewMail;
    int newMailSound; // index among the offered sound files
    bool displaySplash;
    bool checkPeriodically;
    int checkInterval; // minutes
    bool minimizeOnClose;
    bool minimizeOnStartup;
    bool systrayOnMinimize;
    bool checkOnStartup;
    int spamThrottle_; // attribute "spamThrottle"; read through spamThrottle()
};
