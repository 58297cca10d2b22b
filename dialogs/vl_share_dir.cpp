#include "vl_share_dir.h"

QString vlShareDir() {
    QString root = qEnvironmentVariable("VL_SHAREDIR");
    if (root.isEmpty())
        root = QStringLiteral(VL_SHARE_DIR);
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root == QStringLiteral("/") ? root : root + QLatin1Char('/');
}
