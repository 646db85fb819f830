#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet {

// A text's search form as a record keeps it, in 16 bytes where a std::string
// takes 32: its bytes either in a block of their own, or in a block that the
// records of a large diary were read into together (FoldedArena), which also
// spares each of them a heap allocation and its header, and keeps a search's
// scan of them in order in memory. Always valid UTF-8 of at most 4 GB.
class FoldedText {
public:
    FoldedText() = default;
    FoldedText(std::string_view text) { assign(text); } // NOLINT: stands in for a string
    FoldedText(const FoldedText& other) { assign(other.view()); }
    FoldedText(FoldedText&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          owned_(std::exchange(other.owned_, false)) {}
    FoldedText& operator=(const FoldedText& other) {
        if (this != &other) {
            assign(other.view());
        }
        return *this;
    }
    FoldedText& operator=(FoldedText&& other) noexcept {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
            owned_ = std::exchange(other.owned_, false);
        }
        return *this;
    }
    FoldedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    ~FoldedText() { release(); }

    // A copy of text in a block of its own.
    void assign(std::string_view text);
    std::string_view view() const { return {data(), size_}; }
    operator std::string_view() const { return view(); } // NOLINT: reads as a string
    const char* data() const { return data_ ? data_ : ""; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    friend bool operator==(const FoldedText& a, std::string_view b) { return a.view() == b; }

private:
    friend class FoldedArena;
    void release() {
        if (owned_) {
            delete[] data_;
        }
        data_ = nullptr;
        size_ = 0;
        owned_ = false;
    }

    char* data_ = nullptr;
    std::uint32_t size_ = 0;
    bool owned_ = false; // else the bytes are an arena's, or there are none
};

// Blocks that folded texts read together are copied into. The texts point
// into them: the arena must outlive them (a context keeps its arenas for its
// life). One thread at a time.
class FoldedArena {
public:
    FoldedText copy(std::string_view text);

private:
    static constexpr std::size_t kBlockBytes = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
};

} // namespace quillet
