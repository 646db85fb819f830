#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

#include <vector>

namespace quillet {

// Web addresses (http://, https://, www.) and mail addresses in a text, and
// the address each opens ("www." gets https://, a mail address mailto:).
// Punctuation that ends a sentence or closes a bracket is not part of one.
namespace TextLinks {

struct Link {
    qsizetype start = 0;
    qsizetype length = 0;
    QUrl url;
};

std::vector<Link> find(QStringView text);

} // namespace TextLinks
} // namespace quillet
