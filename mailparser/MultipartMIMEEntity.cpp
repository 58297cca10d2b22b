#include "MultipartMIMEEntity.h"

#include "cpp/AsciiText.h"

#include <cstdio>
#include <string_view>

namespace MailParser {

MultipartMIMEEntity::MultipartMIMEEntity(const MIMEEntityHeader &header, MultipartMIMEEntity *parent)
    : MIMEEntity(header), m_parent(parent), m_boundary(m_header.contentType().parameter("boundary")),
      m_depth(parent ? parent->m_depth + 1 : 1) {}

MultipartMIMEEntity::MultipartMIMEEntity(MIMEEntityHeader &&header, MultipartMIMEEntity *parent)
    : MIMEEntity(std::move(header)), m_parent(parent),
      m_boundary(m_header.contentType().parameter("boundary")), m_depth(parent ? parent->m_depth + 1 : 1) {}

MultipartMIMEEntity::~MultipartMIMEEntity() = default;

void MultipartMIMEEntity::finishCurrentSubEntity() {
    if (m_state == PartBody && m_subEntity) {
        // Released before it is finished, so the open part is gone even if finishing throws.
        const std::unique_ptr<MIMEEntity> entity = std::move(m_subEntity);
        m_partHeader.reset();
        entity->inputFinished();
    }
    m_subEntity.reset();
    m_partHeader.reset();
}

void MultipartMIMEEntity::inputLine(const std::string &line) {
    // Delimiter tests ignore trailing blanks (never below one character).
    std::string_view stripped(line);
    while (stripped.size() > 1 && Ascii::isBlank(stripped.back()))
        stripped.remove_suffix(1);

    const std::size_t b = m_boundary.size();
    if (stripped.size() >= b + 2 && stripped[0] == '-' && stripped[1] == '-' &&
        stripped.compare(2, b, m_boundary) == 0) {
        if (stripped.size() == b + 4 && stripped[b + 2] == '-' && stripped[b + 3] == '-') {
            endMultipart();
            return;
        }
        if (stripped.size() == b + 2) {
            finishCurrentSubEntity();
            m_state = PartHeader;
            m_partHeader = std::make_unique<MIMEEntityHeader>();
            return;
        }
    }

    switch (m_state) {
    case Preamble:
    case Epilogue:
        return;
    case PartHeader:
        m_partHeader->inputLine(line);
        if (line.empty())
            startSubEntity();
        return;
    case PartBody:
        if (m_subEntity)
            m_subEntity->inputLine(line);
        return;
    }
}

void MultipartMIMEEntity::startSubEntity() {
    m_state = PartBody;
    const bool digest = Ascii::equalsI(m_header.contentType().subtype(), "digest");
    m_partHeader->processHeader(digest ? std::string("message/rfc822") : MIMEEntityHeader::__text_plain);
    if (m_partHeader->isMultipart() && m_depth >= maxNestingDepth) {
        if (!m_reportedDepth) {
            std::fprintf(stderr,
                         "MultipartMIMEEntity::inputLine: multiparts nested deeper than %d levels, "
                         "inner parts skipped\n",
                         maxNestingDepth);
            m_reportedDepth = true;
        }
        return;
    }
    m_subEntity.reset(createSubEntity(*m_partHeader));
}

void MultipartMIMEEntity::inputFinished() {
    if (m_state != Epilogue)
        endMultipart();
}

void MultipartMIMEEntity::endMultipart() {
    finishCurrentSubEntity();
    m_state = Epilogue;
    // A second close delimiter (after a part reopened in the epilogue) must not report the
    // end twice: derived classes flush buffered parts there.
    if (!m_finished) {
        m_finished = true;
        multipartFinished();
    }
}

} // namespace MailParser
