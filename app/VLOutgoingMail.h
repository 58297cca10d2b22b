#pragma once
// Mail that the application writes itself (a quick reply, a restored message, the summary)
// goes out dated and with a Message-ID, as every mail system expects of a message.

#include "data/data_email.h"

#include <QString>

namespace VLOutgoingMail {

// "<" + a random UUID + "@" + the domain of the address (else "localhost") + ">".
QString newMessageID(const QString &address);

// Fills an empty date with the present time (RFC 5322 form) and an empty uid with a new
// Message-ID in the domain of the sending address; what is set stays.
void stamp(DataEmailMessage &message, const QString &address);

} // namespace VLOutgoingMail
