#include "core/TextLinks.h"

#include <algorithm>

namespace quillet::TextLinks {

namespace {

bool endsToken(QChar c) {
    return c.isSpace() || c == u'<' || c == u'>' || c == u'"' || c == u'\u201c' || c == u'\u201d';
}

// "(see https://a.example/x)." keeps neither the bracket nor the full stop;
// a bracket opened inside the address (a wiki page's name) stays.
qsizetype trimmedEnd(QStringView token) {
    qsizetype end = token.size();
    while (end > 0) {
        const QChar c = token[end - 1];
        if (QStringView(u".,;:!?'\u2019").contains(c)) {
            --end;
        } else if (c == u')' && token.first(end).count(u'(') < token.first(end).count(u')')) {
            --end;
        } else {
            break;
        }
    }
    return end;
}

bool startsWeb(QStringView token) {
    return token.startsWith(u"http://", Qt::CaseInsensitive) ||
           token.startsWith(u"https://", Qt::CaseInsensitive) ||
           token.startsWith(u"www.", Qt::CaseInsensitive);
}

bool isMailChar(QChar c) {
    return c.isLetterOrNumber() || QStringView(u".-_+%").contains(c);
}

} // namespace

std::vector<Link> find(QStringView text) {
    std::vector<Link> links;
    qsizetype at = 0;
    while (at < text.size()) {
        while (at < text.size() && endsToken(text[at])) {
            ++at;
        }
        qsizetype end = at;
        while (end < text.size() && !endsToken(text[end])) {
            ++end;
        }
        QStringView token = text.sliced(at, end - at);
        // An opening bracket or quote before the address is not part of it.
        qsizetype lead = 0;
        while (lead < token.size() && QStringView(u"(['\u2018").contains(token[lead])) {
            ++lead;
        }
        token = token.sliced(lead);
        token = token.first(trimmedEnd(token));
        const qsizetype start = at + lead;
        if (startsWeb(token)) {
            const qsizetype scheme = token.indexOf(u"//");
            const QStringView host = token.sliced(scheme >= 0 ? scheme + 2 : 4);
            if (!host.isEmpty() && host.front().isLetterOrNumber()) {
                QString address = token.toString();
                if (!address.contains(u"://")) {
                    address.prepend(u"https://");
                }
                const QUrl url(address, QUrl::TolerantMode);
                if (url.isValid() && !url.host().isEmpty()) {
                    links.push_back({start, token.size(), url});
                }
            }
        } else if (const qsizetype sign = token.indexOf(u'@'); sign > 0) {
            const QStringView local = token.first(sign);
            const QStringView domain = token.sliced(sign + 1);
            const bool wellFormed = std::all_of(local.begin(), local.end(), isMailChar) &&
                                    std::all_of(domain.begin(), domain.end(), isMailChar) &&
                                    domain.contains(u'.') && domain.front().isLetterOrNumber() &&
                                    domain.back().isLetterOrNumber() && !domain.contains(u"..");
            if (wellFormed) {
                links.push_back(
                    {start, token.size(), QUrl(QStringLiteral("mailto:") + token.toString())});
            }
        }
        at = end;
    }
    return links;
}

} // namespace quillet::TextLinks
