#include "core/TextLinks.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(TextLinks, FindsWebAndMailAddresses) {
    struct Case {
        QString text;
        QString found; // "shown -> url" per link, joined by " | "
    };
    const Case cases[] = {
        {u"see https://example.org/a?b=1 now"_qs,
         u"https://example.org/a?b=1 -> https://example.org/a?b=1"_qs},
        {u"(www.example.com)."_qs, u"www.example.com -> https://www.example.com"_qs},
        {u"HTTP://Example.org, then"_qs, u"HTTP://Example.org -> http://example.org"_qs},
        {u"https://en.wikipedia.org/wiki/Foo_(bar)!"_qs,
         u"https://en.wikipedia.org/wiki/Foo_(bar) -> https://en.wikipedia.org/wiki/Foo_(bar)"_qs},
        {u"write to anna.b+diary@mail.example.de."_qs,
         u"anna.b+diary@mail.example.de -> mailto:anna.b+diary@mail.example.de"_qs},
        {u"two: http://a.example and bob@b.example"_qs,
         u"http://a.example -> http://a.example | bob@b.example -> mailto:bob@b.example"_qs},
        {u"no links: www. or http:// or @home or a@b or a@.b or x@y..z"_qs, QString()},
        {u"just words, 3.5 and e.g."_qs, QString()},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        QStringList found;
        for (const TextLinks::Link& link : TextLinks::find(c.text)) {
            found << c.text.sliced(link.start, link.length) + u" -> "_qs + link.url.toString();
        }
        EXPECT_EQ(found.join(u" | "_qs).toStdString(), c.found.toStdString());
    }
}

} // namespace
} // namespace quillet
