#include "diary/export/TextEditorLauncher.h"

namespace quillet {

TextEditorLauncher::~TextEditorLauncher() = default;

} // namespace quillet
