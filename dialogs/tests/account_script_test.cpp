// The accounts dialog replayed from a committed interface script: an account added through
// the type choice, the details dialog and the advanced POP3 dialog reaches the accounts
// file with one save. Built into an offscreen and an X display test binary alike.
#include "dialog_account_list.h"
#include "trial/trial_runner.h"

#include "account_fixture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

// Each binary names the suite after its display, so that the two runs stay apart.
#ifndef ACCOUNT_SCRIPT_SUITE
#define ACCOUNT_SCRIPT_SUITE AccountScript
#endif

namespace {

TEST(ACCOUNT_SCRIPT_SUITE, AddsAPop3AccountOverSslWithOneSave) {
    DataAccountList list;
    list.VLMessageID = QStringLiteral("{0f0e0d0c-0000-4000-8000-00000000beef}");
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Home")));
    accounttest::storeList(list);
    const QByteArray before = accounttest::fileBytes(accounttest::accountsFile());
    ASSERT_FALSE(before.isEmpty());

    StoreAccountList *store = accounttest::store();
    QSignalSpy changed(store, &Store::changed);
    DialogAccountList dialog(nullptr, "accountList");
    dialog.loadFromStore();
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(QStringLiteral(VL_TEST_DATA_DIR "/account_add_pop3.xml")))
        << runner.error().toStdString();
    runner.start();
    const int result = dialog.exec();
    EXPECT_EQ(runner.stop(), TrialRunner::Passed) << runner.error().toStdString();
    ASSERT_EQ(result, QDialog::Accepted);
    // Nothing reaches the store or its file before saveToStore, which writes once.
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(accounttest::fileBytes(accounttest::accountsFile()), before);
    EXPECT_TRUE(dialog.saveToStore().isNull());
    EXPECT_EQ(changed.count(), 1);

    DataAccountList onDisk;
    ASSERT_TRUE(onDisk.loadFromFile(QStringLiteral("accounts"), "vlp", accounttest::dataDir()).isNull());
    ASSERT_EQ(onDisk.accountList.size(), 2);
    EXPECT_EQ(onDisk.VLMessageID, list.VLMessageID);
    EXPECT_EQ(accounttest::xml(onDisk.accountList.at(0)), accounttest::xml(list.accountList.at(0)));
    const DataAccount &added = onDisk.accountList.at(1);
    EXPECT_EQ(added.type, DataAccount::POP3);
    EXPECT_EQ(added.name(), QStringLiteral("Work"));
    EXPECT_EQ(added.server(), QStringLiteral("pop.brindlecot.example"));
    EXPECT_EQ(added.user(), QStringLiteral("ada"));
    EXPECT_TRUE(added.pop3.incoming.advanced.useSSL);
    EXPECT_EQ(added.pop3.incoming.advanced.portNumber, 995);
    EXPECT_EQ(added.pop3.outgoing.advanced.SMTP.portNumber, 0);
}

} // namespace
