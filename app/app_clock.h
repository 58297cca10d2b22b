#pragma once
// The clock of the mail log, the seen list and the activity summary: seconds since the
// epoch, replaceable so that tests can run the keep-period and period rules at a fixed
// instant.

#include <QtGlobal>

namespace AppClock {

// Seconds since 1970-01-01 UTC, 64-bit.
qint64 now();

// Replaces the clock (nullptr restores the system clock).
void setClock(qint64 (*clock)());

} // namespace AppClock
