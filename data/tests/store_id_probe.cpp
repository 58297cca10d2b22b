// One run of the program as far as the accounts store goes: open the store of the data
// folder given as the argument, print the installation's identifier, save at exit.

#include "store_account_list.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: store_id_probe <data folder>\n");
        return 2;
    }
    Store::setDataDir(QString::fromLocal8Bit(argv[1]));
    StoreAccountList *accounts = StoreAccountList::accounts();
    printf("%s\n", accounts->VLMessageID.toLatin1().constData());
    return accounts->saveToStore().isNull() ? 0 : 1;
}
