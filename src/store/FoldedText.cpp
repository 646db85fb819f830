#include "store/FoldedText.h"

#include <cstring>

namespace quillet {

void FoldedText::assign(std::string_view text) {
    char* bytes = nullptr;
    if (!text.empty()) {
        bytes = new char[text.size()];
        std::memcpy(bytes, text.data(), text.size());
    }
    release();
    data_ = bytes;
    size_ = std::uint32_t(text.size());
    owned_ = bytes != nullptr;
}

FoldedText FoldedArena::copy(std::string_view text) {
    FoldedText folded;
    if (text.empty()) {
        return folded;
    }
    char* bytes;
    if (text.size() > kBlockBytes / 8) {
        // A long text takes a block of its own, not the rest of a shared one.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        bytes = blocks_.back().get();
    } else {
        if (text.size() > left_) {
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
            next_ = blocks_.back().get();
            left_ = kBlockBytes;
        }
        bytes = next_;
        next_ += text.size();
        left_ -= text.size();
    }
    std::memcpy(bytes, text.data(), text.size());
    folded.data_ = bytes;
    folded.size_ = std::uint32_t(text.size());
    return folded;
}

} // namespace quillet
