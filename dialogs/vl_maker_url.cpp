#include "vl_maker_url.h"

QString vlMakerURL() {
    QString url = QStringLiteral(VL_MAKER_URL);
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    return url;
}
