#pragma once

class QMenu;

namespace quillet {

class SpellMarker;

// Format > Spelling, filled anew each time it opens: the switch and the
// installed dictionaries, or "No Dictionaries Installed" without any.
void fillSpellingMenu(QMenu* menu, SpellMarker* marker);

} // namespace quillet
