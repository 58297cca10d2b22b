#include "store_options.h"

StoreOptions::StoreOptions()
    : Store(Store::dataDir(), QStringLiteral("options"), static_cast<DataOptions *>(this)) {
    if (!loadFromStore(QStringLiteral("vlOptions"))) {
        // A first start: what a new user should see. The store is not marked changed; the
        // defaults reach the disk with the first save after some change.
        general.displaySplash = true;
        display.largeButtons = true;
        display.captionButtons = true;
        // A fresh install keeps a mail log and a recycle bin, so deleted mail can come back.
        summary.messageLogging = true;
        summary.allowRevovery = true;
    }
}

StoreOptions *StoreOptions::options() {
    static StoreOptions *store = new StoreOptions();
    return store;
}
