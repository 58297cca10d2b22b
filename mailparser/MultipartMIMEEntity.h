#pragma once
// The abstract entity of a multipart body: finds the delimiter lines of its boundary,
// collects each inner part's header, asks the derived class for an entity for that part and
// passes the part's body lines on to it.

#include "MessageParser.h"

#include <memory>
#include <string>

namespace MailParser {

class MultipartMIMEEntity : public MIMEEntity {
public:
    // Multiparts nest at most this deep: a multipart part further down is skipped (no
    // entity is asked for), so hostile nesting costs neither stack nor time per line beyond
    // the limit. Depth is counted through the parent pointers.
    static constexpr int maxNestingDepth = 64;

    MultipartMIMEEntity(const MIMEEntityHeader &header, MultipartMIMEEntity *parent);
    MultipartMIMEEntity(MIMEEntityHeader &&header, MultipartMIMEEntity *parent);
    ~MultipartMIMEEntity() override;

    void inputLine(const std::string &line) override;
    void inputFinished() override;

    [[nodiscard]] MultipartMIMEEntity *parent() const { return m_parent; }
    [[nodiscard]] const std::string &boundary() const { return m_boundary; }
    // Ends the open part: its header is dropped, its entity finished and deleted.
    void finishCurrentSubEntity();

    // 1 for a multipart without a multipart parent.
    [[nodiscard]] int depth() const { return m_depth; }

protected:
    // A new entity for one inner part (owned by this object from then on), or null to
    // ignore the part's body. The header is dropped after the part, so the entity may take
    // it over (the constructors taking an rvalue header).
    virtual MIMEEntity *createSubEntity(MIMEEntityHeader &header) = 0;
    // Called once, when the multipart has ended.
    virtual void multipartFinished() = 0;

    enum State { Preamble = 0, PartHeader = 1, PartBody = 2, Epilogue = 3 };

    MultipartMIMEEntity *m_parent;
    std::string m_boundary;
    State m_state = Preamble;
    std::unique_ptr<MIMEEntityHeader> m_partHeader;
    std::unique_ptr<MIMEEntity> m_subEntity;

private:
    void startSubEntity();
    void endMultipart();

    int m_depth;
    bool m_finished = false;
    bool m_reportedDepth = false;
};

} // namespace MailParser
