#include "URL.h"

URL::URL(const std::wstring &text) : URI(text) {
    parseSchemeSpecific();
}

URL::URL(const URI &uri) : URI(uri) {
    parseSchemeSpecific();
}

void URL::parseSchemeSpecific() {
    const std::wstring &s = schemeSpecific;
    std::wstring path;
    if (s.size() >= 2 && s[0] == L'/' && s[1] == L'/') {
        const std::size_t authorityEnd = s.find_first_of(L"/?#", 2);
        const std::wstring authority =
            s.substr(2, authorityEnd == std::wstring::npos ? std::wstring::npos : authorityEnd - 2);
        if (authorityEnd != std::wstring::npos) {
            const std::size_t hash = s.find(L'#', authorityEnd);
            if (hash != std::wstring::npos)
                fragment = s.substr(hash);
            path =
                s.substr(authorityEnd, hash == std::wstring::npos ? std::wstring::npos : hash - authorityEnd);
            if (path.empty() || path[0] != L'/')
                path.insert(path.begin(), L'/');
        }
        const std::size_t at = authority.find(L'@');
        if (at == std::wstring::npos) {
            host = authority;
        } else {
            const std::wstring userInfo = authority.substr(0, at);
            host = authority.substr(at + 1);
            const std::size_t colon = userInfo.find(L':');
            user = userInfo.substr(0, colon);
            if (colon != std::wstring::npos)
                password = userInfo.substr(colon + 1);
        }
    } else {
        const std::size_t hash = s.find(L'#');
        path = s.substr(0, hash);
        if (hash != std::wstring::npos)
            fragment = s.substr(hash);
    }

    const std::size_t question = path.find(L'?');
    if (question != std::wstring::npos) {
        query = path.substr(question);
        path.erase(question);
    }

    const std::size_t lastSlash = path.rfind(L'/');
    if (lastSlash == std::wstring::npos) {
        file = path;
    } else {
        file = path.substr(lastSlash + 1);
        std::size_t start = 0;
        for (;;) {
            const std::size_t slash = path.find(L'/', start);
            pathSegments.push_back(path.substr(start, slash - start));
            if (slash == lastSlash)
                break;
            start = slash + 1;
        }
    }

    const std::size_t semicolon = file.find(L';');
    if (semicolon != std::wstring::npos) {
        parameters = file.substr(semicolon);
        file.erase(semicolon);
    }
}

void URL::canonicalizePath() {
    // One pass with the kept segments as a stack: a ".." takes back the segment kept before
    // it, so chains such as "a/b/../.." and "a/./.." collapse, and a path of many segments
    // costs linear time rather than one erase from the middle per removal.
    std::deque<std::wstring> kept;
    for (std::wstring &segment : pathSegments) {
        if (segment == L"." || (segment.empty() && !kept.empty()))
            continue;
        if (segment == L".." && !kept.empty() && !kept.back().empty() && kept.back() != L"..") {
            kept.pop_back();
            continue;
        }
        kept.push_back(std::move(segment));
    }
    pathSegments = std::move(kept);
    if (file == L".." && !pathSegments.empty() && pathSegments.back() != L".." &&
        !pathSegments.back().empty()) {
        pathSegments.pop_back();
        file.clear();
    }
    if (file == L".")
        file.clear();
}

void URL::expand(const URL &base) {
    if (scheme.empty()) {
        scheme = base.scheme;
        if (host.empty()) {
            host = base.host;
            user = base.user;
            password = base.password;
            const bool hadOwnPath = !pathSegments.empty() || !file.empty();
            if (pathSegments.empty() || !pathSegments.front().empty()) {
                if (base.pathSegments.empty() && host.empty())
                    pathSegments.push_front(std::wstring());
                else
                    pathSegments.insert(pathSegments.begin(), base.pathSegments.begin(),
                                        base.pathSegments.end());
            }
            if (!hadOwnPath) {
                file = base.file;
                if (parameters.empty()) {
                    parameters = base.parameters;
                    if (query.empty())
                        query = base.query;
                }
            }
        }
    }
    canonicalizePath();
}

std::wstring URL::rewrite() {
    std::wstring s;
    if (!host.empty()) {
        s = L"//" + user;
        if (!password.empty())
            s += L":" + password;
        if (!user.empty())
            s += L"@";
        s += host;
        const bool segmentsSupplySlash = !pathSegments.empty() && pathSegments.front().empty();
        if (!segmentsSupplySlash && !(file.empty() && parameters.empty()))
            s += L"/";
    }
    for (const std::wstring &segment : pathSegments)
        s += segment + L"/";
    s += file + parameters + query + fragment;
    schemeSpecific = s;
    return URI::rewrite();
}

void URL::clear() {
    user.clear();
    password.clear();
    host.clear();
    pathSegments.clear();
    file.clear();
    parameters.clear();
    query.clear();
    fragment.clear();
}

std::wstring URL::getPath() const {
    std::wstring out;
    for (const std::wstring &segment : pathSegments)
        out += segment + L"/";
    return out;
}
