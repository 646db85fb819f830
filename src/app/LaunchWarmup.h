#pragma once

namespace quillet {

// Work every launch does on the main thread before the first paint that a
// helper thread can do sooner, while the main thread connects to the display:
// the font configuration (its files and caches, about 4 ms), which Qt loads
// when the first widget asks for a font and then finds ready.
void warmUpBeforeTheWindow();

} // namespace quillet
