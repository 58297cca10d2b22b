#include "data_options_general.h"

#include "record_fields_p.h"

namespace {

const RecordFields::Field<DataOptionsGeneral> kDataOptionsGeneralFields[] = {
    {"launchAfterProcess", &DataOptionsGeneral::launchAfterProcess},
    {"useSpecifiedClient", &DataOptionsGeneral::useSpecifiedClient},
    {"preconfiguredClient", &DataOptionsGeneral::preconfiguredClient},
    {"specifiedClient", &DataOptionsGeneral::specifiedClient},
    {"minimiseAfterProcess", &DataOptionsGeneral::minimiseAfterProcess},
    {"playSoundOnNewMail", &DataOptionsGeneral::playSoundOnNewMail},
    {"newMailSound", &DataOptionsGeneral::newMailSound},
    {"displaySplash", &DataOptionsGeneral::displaySplash},
    {"checkPeriodically", &DataOptionsGeneral::checkPeriodically},
    {"checkInterval", &DataOptionsGeneral::checkInterval},
    {"minimizeOnClose", &DataOptionsGeneral::minimizeOnClose},
    {"minimizeOnStartup", &DataOptionsGeneral::minimizeOnStartup},
    {"systrayOnMinimize", &DataOptionsGeneral::systrayOnMinimize},
    {"checkOnStartup", &DataOptionsGeneral::checkOnStartup},
    {"spamThrottle", &DataOptionsGeneral::spamThrottle_},
};

// Fewer lines than this rarely reach the text that the scoring needs.
constexpr int kSpamThrottleFloor = 200;

} // namespace

const char *const DataOptionsGeneral::mailCmdList[4][3] = {
    {"Evolution", "evolution", "evolution"},
    {"Kontact", "kontact", "kontact && dcop kontact KMailIface checkMail"},
    {"KMail", "kmail", "kmail   && dcop kmail   KMailIface checkMail"},
    {"Thunderbird", "mozilla-thunderbird", "mozilla-thunderbird"},
};

DataOptionsGeneral::DataOptionsGeneral() {
    name = "DataOptionsGeneral";
    clear();
}

VL_RECORD_FROM_TABLE(DataOptionsGeneral, kDataOptionsGeneralFields)

int DataOptionsGeneral::spamThrottle() const {
    return spamThrottle_ >= kSpamThrottleFloor ? spamThrottle_ : kSpamThrottleFloor;
}

QStringList DataOptionsGeneral::emailClientList() {
    QStringList names;
    for (const auto &row : mailCmdList)
        names.append(QString::fromLatin1(row[0]));
    return names;
}

QString DataOptionsGeneral::emailClient() const {
    if (useSpecifiedClient)
        return specifiedClient;
    for (const auto &row : mailCmdList) {
        if (preconfiguredClient == QLatin1String(row[0]))
            return QString::fromLatin1(row[2]);
    }
    return QString();
}

void DataOptionsGeneral::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "General");
    launchAfterProcess = oldTrue(old, "IsLaunchEmailReaderChecked");
    useSpecifiedClient = oldTrue(old, "IsSpecifiedMailClientChecked");
    preconfiguredClient = oldText(old, "PreconfiguredMailClient");
    specifiedClient = oldText(old, "SpecifiedMailClient");
    minimiseAfterProcess = oldTrue(old, "IsMinimizeAfterReadChecked");
    playSoundOnNewMail = oldTrue(old, "IsPlaySoundChecked");
    newMailSound = 0;
    displaySplash = oldTrue(old, "IsDisplaySplashScreenChecked");
    checkPeriodically = oldTrue(old, "IsDoCheckEveryChecked");
    minimizeOnClose = oldTrue(old, "IsRunMinimizedChecked");
    minimizeOnStartup = oldTrue(old, "IsMinimizeOnStartupChecked");
    // systrayOnMinimize: the previous version had no such setting; it keeps its value.
    checkOnStartup = oldTrue(old, "IsCheckOnStartupChecked");
    checkInterval = oldInt(old, "CheckMailEvery");
    spamThrottle_ = oldInt(old, "SpamThottleMinValue");
}
