#pragma once
// The length of a day in seconds, as the mail log's keep period, the address lists' expiry,
// the activity periods and the mail table's date keys count it.

#include <QtGlobal>

inline constexpr qint64 kSecondsPerDay = 86400;
