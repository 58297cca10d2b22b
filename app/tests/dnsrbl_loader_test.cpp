// The DNS blacklist servers handed to the engine: only those switched on, in stored order,
// and again after the tools change.

#include "data_folder.h"

#include "app/VLDNSRBLLoader.h"
#include "data/store_tools.h"
#include "engine/VLDNSRBL.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

DataToolsOriginServer server(const QString &service, const QString &zone, bool disabled) {
    DataToolsOriginServer s;
    s.serviceName = service;
    s.domainName = zone;
    s.disabled = disabled;
    return s;
}

TEST(DNSRBLLoader, OnlyServersSwitchedOnInStoredOrder) {
    DataToolsOrigin origin;
    origin.DNSRBLServers = {
        server(QStringLiteral("Alpha"), QStringLiteral("alpha.example"), false),
        server(QStringLiteral("Off"), QStringLiteral("off.example"), true),
        server(QStringLiteral("No zone"), QStringLiteral("  "), false),
        server(QStringLiteral("Beta"), QStringLiteral("beta.example"), false),
    };
    EXPECT_EQ(VLDNSRBLLoader::rblList(origin),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha.example"), QStringLiteral("Beta"),
                           QStringLiteral("beta.example")}));

    for (auto &s : origin.DNSRBLServers)
        s.disabled = true;
    EXPECT_TRUE(VLDNSRBLLoader::rblList(origin).isEmpty());
}

TEST(DNSRBLLoader, FollowsEveryChangeOfTheToolsStore) {
    apptest::DataFolder folder;
    int argc = 1;
    char name[] = "dnsrbl_loader_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    StoreTools *tools = StoreTools::tools();
    tools->origin.DNSRBLServers = {
        server(QStringLiteral("Alpha"), QStringLiteral("alpha.example"), false),
        server(QStringLiteral("Beta"), QStringLiteral("beta.example"), true),
    };
    VLDNSRBLLoader::loadDNSRBL();
    EXPECT_EQ(VLDNSRBL::self().rblList(),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha.example")}));

    QObject window;
    VLDNSRBLLoader::follow(&window);

    // The user switches Alpha off and Beta on in the tools dialog.
    tools->origin.DNSRBLServers[0].disabled = true;
    tools->origin.DNSRBLServers[1].disabled = false;
    tools->setChanged(true);
    // Queued: nothing happens inside the store's own signal.
    EXPECT_EQ(VLDNSRBL::self().rblList().size(), 2);
    EXPECT_EQ(VLDNSRBL::self().rblList().first(), QStringLiteral("Alpha"));
    QCoreApplication::processEvents();
    EXPECT_EQ(VLDNSRBL::self().rblList(),
              (QStringList{QStringLiteral("Beta"), QStringLiteral("beta.example")}));

    // Every server switched off: the engine asks no blacklist.
    tools->origin.DNSRBLServers[1].disabled = true;
    tools->setChanged(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(VLDNSRBL::self().rblList().isEmpty());
}

} // namespace
