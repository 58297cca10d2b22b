#pragma once
// The clock of the records that stamp times (address-list entries), replaceable so that
// tests can run expiry at a fixed instant.

#include <QtGlobal>

namespace RecordClock {

// Seconds since 1970-01-01 UTC, 64-bit.
qint64 now();

// Replaces the clock (nullptr restores the system clock).
void setClock(qint64 (*clock)());

} // namespace RecordClock
