#pragma once
// Walks one raw message, fed line by line, and hands its readable text to a processor: the
// decoded subject (at most once, when the header ends), every plain-text and HTML part
// transfer-decoded and charset-decoded (in the order their ends are reached; of a
// multipart/alternative only the HTML choice when it has one), then textFinished once.
// Attachments and parts of other types are skipped. A message without MIME structure is one
// plain-text part.

#include "IMessageTextMIMEEntityFactory.h"
#include "IMessageTextProcessor.h"
#include "mailparser/MessageParser.h"

#include <string>

class MessageTextParser : public MailParser::MessageParser, public IMessageTextMIMEEntityFactory {
public:
    explicit MessageTextParser(IMessageTextProcessor &processor);
    ~MessageTextParser() override;

    // Ends the message, then calls the processor's textFinished.
    void inputFinished() override;

    // Multiparts (multipart/alternative apart) become containers, everything else a leaf.
    MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header,
                                            MailParser::MultipartMIMEEntity *parent,
                                            IMessagePartProcessor &processor) override;

protected:
    // The subject to the processor; for a MIME message, the root entity.
    void processHeader() override;
    void processSimpleMessageLine(const std::string &line) override;
    // The collected body as one plain-text part in the processor's default charset.
    void finishSimpleMessage() override;

    IMessageTextProcessor &m_processor;

private:
    std::string m_body;
};
