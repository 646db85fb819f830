#pragma once

#include <QStringView>

#include <string>
#include <string_view>

namespace quillet {

// Case- and accent-insensitive search: fold each text once, then compare bytes.
// Offsets in folded text do not line up with the original, so it cannot drive highlighting.
class TextFolder {
public:
    // UTF-8 of the text decomposed, without nonspacing marks, fully case-folded and
    // recomposed: "Été" and "ete" both give "ete", "Straße" gives "strasse".
    static std::string fold(QStringView text);

    // Both arguments must come from fold(); an empty needle is found everywhere.
    static bool contains(std::string_view foldedHaystack, std::string_view foldedNeedle);
};

} // namespace quillet
