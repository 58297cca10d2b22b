#pragma once
// Hands the DNS blacklist servers of the spam tools to the scanning engine, and again
// whenever the tools change, so that a server switched off stops being asked at once.

#include <QMetaObject>
#include <QStringList>

class DataToolsOrigin;
class QObject;

namespace VLDNSRBLLoader {

// Pairs of display name and DNS zone, in the stored order, of the servers that are switched
// on and name a zone.
[[nodiscard]] QStringList rblList(const DataToolsOrigin &origin);

// Gives the tools store's list to the engine.
void loadDNSRBL();

// Reruns loadDNSRBL after every change of the tools store, queued so that it never runs
// inside the store's own signal; ends with context.
QMetaObject::Connection follow(QObject *context);

} // namespace VLDNSRBLLoader
