#include "store_tools.h"

StoreTools::StoreTools() : Store(Store::dataDir(), QStringLiteral("tools"), static_cast<DataTools *>(this)) {
    // The previous version kept the tools settings in its options file.
    if (!loadFromStore(QStringLiteral("vlOptions"))) {
        // A first start: learning on and the two row colours, without marking the store
        // changed.
        learning.learn.teach = true;
        learning.spam.colorRow = true;
        learning.spam.useColor = QStringLiteral("#ffc8c8");
        learning.legit.colorRow = true;
        learning.legit.useColor = QStringLiteral("#c8ffc8");
    }
}

StoreTools *StoreTools::tools() {
    static StoreTools *store = new StoreTools();
    return store;
}
