#pragma once
// The messages of one account's list as its mail client read them in one session.

#include "data/data_email.h"

#include <QList>

using DataEmailList = QList<DataEmailMessage>;
