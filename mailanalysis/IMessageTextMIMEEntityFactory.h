#pragma once
// Makes the MIME entity for one part of a message being walked for its text.

#include "IMessagePartProcessor.h"

namespace MailParser {
class MIMEEntity;
class MIMEEntityHeader;
class MultipartMIMEEntity;
} // namespace MailParser

class IMessageTextMIMEEntityFactory {
public:
    // A new entity, owned by the caller. parent is null for the message's root entity;
    // processor receives the part's decoded text.
    virtual MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header,
                                                    MailParser::MultipartMIMEEntity *parent,
                                                    IMessagePartProcessor &processor) = 0;

protected:
    // Never deleted through this interface.
    ~IMessageTextMIMEEntityFactory() = default;
};
