#include "HTMLTagLibrary.h"

#include "cpp/CUtils.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct TagRow {
    const char *name;
    bool breaksTokens;
    const char *attributes; // names separated by single spaces
    const char *furtherAttributes;
};

// The attributes most elements share, first in their lists.
#define CORE                                                                                                 \
    "id class style title lang dir onclick ondblclick onmousedown onmouseup onmouseover onmousemove "        \
    "onmouseout onkeypress onkeydown onkeyup language"

// clang-format off
const TagRow tagRows[] = {
    {"a", false, CORE " accesskey charset coords href hreflang indexstring methods name onblur onfocus rel rev shape tabindex target tocstring type urn", "eudora"},
    {"abbr", false, CORE, ""},
    {"acronym", false, CORE, ""},
    {"address", false, CORE, ""},
    {"applet", true, "id class style title align alt archive code codebase height hspace mayscript name object onblur onfocus onload onreadystatechange onresize src vspace width", ""},
    {"area", false, CORE " accesskey alt coords href nohref onblur onfocus shape tabindex target", ""},
    {"b", false, CORE, ""},
    {"base", false, "id class style title lang dir href target", ""},
    {"basefont", false, "id class style title lang dir color face size", ""},
    {"bdo", false, "id class style title lang dir", ""},
    {"bgsound", false, "id class style title balance lang loop src title volume", ""},
    {"big", false, CORE, ""},
    {"blink", false, CORE, ""},
    {"blockquote", true, CORE " cite", "type"},
    {"body", true, CORE " alink background bgcolor bottommargin leftmargin link marginheight marginwidth onblur onfocus onload onunload rightmargin scroll text topmargin vlink", "oncontextmenu onselectstart ondragstart"},
    {"br", true, "id class style title clear", ""},
    {"button", true, CORE " accesskey disabled name onblur onfocus tabindex type value", ""},
    {"caption", true, CORE " align onblur onfocus onresize valign", ""},
    {"center", true, CORE, ""},
    {"cite", false, CORE, ""},
    {"code", false, CORE, ""},
    {"col", false, "id class style title align char charoff span valign width", ""},
    {"colgroup", false, "id class style title align char charoff span valign width", ""},
    {"comment", false, "id lang title", ""},
    {"dd", true, CORE, ""},
    {"del", false, CORE " cite datetime", ""},
    {"dfn", false, CORE, ""},
    {"dir", true, CORE " compact", ""},
    {"div", true, CORE " align onblur onfocus", ""},
    {"dl", true, CORE " compact", ""},
    {"dt", true, CORE, ""},
    {"em", false, CORE, ""},
    {"embed", true, "id class style title hidden onblur onfocus palette pluginspace src type", "quality bgcolor width height units hspace vspace name align border frameborder pluginurl pluginspage palette"},
    {"fieldset", true, CORE " onblur onfocus", ""},
    {"font", false, CORE " color face point-size size weight", "family ptsize back align"},
    {"form", true, CORE " accept action enctype method name onreset onsubmit target", ""},
    {"frame", true, "id class style title bordercolor frameborder framespacing language longdesc marginheight marginwidth name noresize scrolling src", ""},
    {"frameset", true, "id class style title border bordercolor cols default frameborder language onblur onfocus onload onunload rows", ""},
    {"h1", true, CORE " align", ""},
    {"h2", true, CORE " align", ""},
    {"h3", true, CORE " align", ""},
    {"h4", true, CORE " align", ""},
    {"h5", true, CORE " align", ""},
    {"h6", true, CORE " align", ""},
    {"head", true, "lang dir class id profile", ""},
    {"hr", true, CORE " align color noshade size width", ""},
    {"html", true, "lang dir version", ""},
    {"i", false, CORE, ""},
    {"iframe", true, "id class style title align border frameborder height longdesc marginheight marginwidth name onblur onfocus onload onunload scrolling src width", "hspace vspace"},
    {"ilayer", true, "id class style title above background below bgcolor clip left name src top visibility z-index", "pagex pagey width height"},
    {"img", true, CORE " align alt border height hspace ismap longdesc lowsrc name onabort onblur onerror onfocus onload onresize src usemap vspace width", "valign nosend controls dynsrc loop loopdelay start nosave bordercolor"},
    {"input", true, CORE " accept accesskey align alt checked disabled ismap maxlength name onblur onchange onfocus onselect readonly size src tabindex type usemap value", "border width height"},
    {"ins", false, CORE " cite datetime", ""},
    {"isindex", false, "id class style title lang dir action prompt", ""},
    {"kbd", false, CORE, ""},
    {"keygen", false, "challenge name", ""},
    {"label", false, CORE " accesskey for onblur onfocus", ""},
    {"layer", true, "above background below bgcolor clip height left name src top visibility width z-index", "name id pagex pagey"},
    {"legend", true, CORE " accesskey align onblur onfocus", ""},
    {"li", true, CORE " type value", ""},
    {"link", false, CORE " charset disabled href hreflang media onerror onload onreadystatechange rel rev target type", ""},
    {"listing", false, CORE, ""},
    {"map", true, CORE " name", ""},
    {"marquee", true, CORE " align behavior bgcolor direction height hspace loop onblur onbounce onfinish onfocus onresize onscroll onstart scrollamount scrolldelay truespeed vspace width", ""},
    {"menu", true, CORE " compact", ""},
    {"meta", false, "lang dir content http-equiv name scheme", ""},
    {"multicol", false, "cols gutter width", ""},
    {"nobr", false, "id class style title", ""},
    {"noembed", false, CORE, ""},
    {"noframes", false, CORE, ""},
    {"noscript", false, CORE, ""},
    {"object", true, CORE " accesskey align archive border classid codebase codetype data declare height hspace name onblur onerror onfocus onload onreadystatechange onresize standby tabindex type usemap vspace width", ""},
    {"ol", true, CORE " compact start type", ""},
    {"optgroup", true, CORE " disabled label", ""},
    {"option", true, CORE " disabled label name selected value", ""},
    {"p", true, CORE " align", ""},
    {"param", false, "id name type value valuetype", ""},
    {"plaintext", true, CORE, ""},
    {"pre", true, CORE " width", ""},
    {"q", true, CORE " cite", ""},
    {"s", false, CORE, ""},
    {"samp", false, CORE, ""},
    {"script", false, "charset defer event for src type", "language"},
    {"select", true, CORE " accesskey align disabled multiple name onblur onchange onfocus size tabindex", ""},
    {"small", false, CORE, ""},
    {"spacer", true, "align height size type width", ""},
    {"span", false, CORE, "align"},
    {"strike", false, CORE, ""},
    {"strong", false, CORE, ""},
    {"style", false, "lang dir disabled media title type", ""},
    {"sub", false, CORE, ""},
    {"sup", false, CORE, ""},
    {"table", true, CORE " align background bgcolor border bordercolor bordercolordark bordercolorlight cellpadding cellspacing cols frame height onblur onfocus onresize rules summary valign width", ""},
    {"tbody", true, CORE " align bgcolor char charoff valign", ""},
    {"td", true, CORE " abbr align axis background bgcolor bordercolor bordercolordark bordercolorlight char charoff colspan headers height nowrap onblur onfocus onresize rowspan scope valign width", ""},
    {"textarea", true, CORE " accesskey cols disabled name onblur onchange onfocus onscroll onselect readonly rows tabindex", "wrap"},
    {"tfoot", true, CORE " align bgcolor valign", ""},
    {"th", true, CORE " abbr align axis background bgcolor bordercolor bordercolordark bordercolorlight char charoff colspan headers height nowrap onblur onfocus onresize rowspan scope valign width", ""},
    {"thead", true, CORE " align char charoff valign", ""},
    {"title", true, "lang dir", ""},
    {"tr", true, CORE " align background bgcolor bordercolor bordercolordark bordercolorlight char charoff onblur onfocus onresize valign", "height width colspan"},
    {"tt", false, CORE, ""},
    {"u", false, CORE, ""},
    {"ul", true, CORE " compact type", ""},
    {"var", false, CORE, ""},
    {"wbr", false, "id class style title", ""},
    {"xmp", true, CORE, ""},
};
// clang-format on

#undef CORE

std::unordered_set<std::string> splitNames(const char *text) {
    const std::vector<std::string> names = split(text, ' ');
    return {names.begin(), names.end()};
}

HTMLTagLibrary::TagMap buildTags() {
    HTMLTagLibrary::TagMap tags;
    for (const TagRow &row : tagRows) {
        HTMLTagLibrary::TagInformation &info = tags[row.name];
        info.breaksTokens = row.breaksTokens;
        info.attributes = splitNames(row.attributes);
        info.furtherAttributes = splitNames(row.furtherAttributes);
    }
    return tags;
}

} // namespace

const HTMLTagLibrary::TagMap &HTMLTagLibrary::getTags() {
    static const TagMap tags = buildTags();
    return tags;
}

const HTMLTagLibrary::TagInformation *HTMLTagLibrary::findTag(const std::string &name) {
    // Every tag of every HTML part is looked up here, some twice: a hashed index over the
    // map's entries keeps that off the ordered map's string comparisons.
    static const std::unordered_map<std::string_view, const TagInformation *> index = [] {
        std::unordered_map<std::string_view, const TagInformation *> entries;
        for (const auto &[tagName, info] : getTags())
            entries.emplace(tagName, &info);
        return entries;
    }();
    const auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

bool HTMLTagLibrary::tagBreaksTokens(const std::string &name) {
    const TagInformation *info = findTag(name);
    return info && info->breaksTokens;
}
