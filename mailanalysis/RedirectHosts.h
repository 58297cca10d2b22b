#pragma once
// The web portals' redirect hosts that bulk mail hides its real link targets behind. Links
// and images on these hosts are traits of their own. Names are compared exactly with the
// lower-cased host of an address (a host written with a port does not match).
//
// Kept in this one place: when a portal changes its redirector, edit the list here.

#include <array>
#include <string_view>

namespace RedirectHosts {

// Yahoo's click-through redirectors; their directory form carries the target after a "*"
// in the path.
inline constexpr std::array<std::wstring_view, 3> yahoo = {L"rd.yahoo.com", L"srd.yahoo.com",
                                                           L"drs.yahoo.com"};

// MSN's click-through redirector.
inline constexpr std::wstring_view msn = L"g.msn.com";

} // namespace RedirectHosts
