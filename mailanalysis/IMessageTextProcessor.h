#pragma once
// Receiver of a whole message's text: its parts, its subject and its end.

#include "IMessagePartProcessor.h"

class IMessageTextProcessor : public IMessagePartProcessor {
public:
    // The "subject" field, raw (encoded words still encoded) and decoded.
    virtual void processSubjectField(const std::string &rawValue, const std::wstring &decoded) = 0;
    // Called exactly once, after every part.
    virtual void textFinished() = 0;
};
