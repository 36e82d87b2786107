// The texts of one worksheet's cells and comments, packed one after another
// in large blocks instead of a string object per cell: an export's sheets
// hold millions of short texts, and a string per cell costs more than the
// text itself. A text is found by where it starts (block and offset) and its
// length, which the cell keeps. Texts are only ever appended; a replaced one
// stays behind as garbage, which the sheet counts and compacts away (see
// Sheet::CompactTexts) before it outgrows the live text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace excelsim {

class CellTextStore {
public:
    // Code units per ordinary block (128 KiB): large enough that the blocks'
    // own bookkeeping does not count, small enough that the unused end of
    // the last one does not either.
    static constexpr std::size_t kBlockUnits = 64 * 1024;
    // A text longer than this gets a block of its own, so that no block
    // leaves more than an eighth of itself unused at its end.
    static constexpr std::size_t kLongText = kBlockUnits / 8;

    CellTextStore() = default;
    CellTextStore(CellTextStore&&) noexcept = default;
    CellTextStore& operator=(CellTextStore&&) noexcept = default;
    CellTextStore(const CellTextStore&) = delete;
    CellTextStore& operator=(const CellTextStore&) = delete;

    // Stores a copy of `text` and says where it is. `text` may be a view
    // into this store: blocks never move once made.
    std::uint64_t Add(std::u16string_view text)
    {
        if (text.empty())
            return 0;
        std::size_t block;
        if (text.size() > kLongText) {
            block = NewBlock(text.size());
        } else {
            if (current_ == kNone || blocks_[current_].capacity - blocks_[current_].used < text.size())
                current_ = NewBlock(kBlockUnits);
            block = current_;
        }
        Block& b = blocks_[block];
        const std::uint32_t offset = b.used;
        std::copy(text.begin(), text.end(), b.data.get() + offset);
        b.used += static_cast<std::uint32_t>(text.size());
        live_ += text.size();
        return (static_cast<std::uint64_t>(block) << 32) | offset;
    }

    std::u16string_view View(std::uint64_t at, std::uint32_t length) const
    {
        if (length == 0)
            return {};
        const Block& b = blocks_[static_cast<std::size_t>(at >> 32)];
        return {b.data.get() + static_cast<std::uint32_t>(at), length};
    }

    // A text of `length` units is no longer referred to.
    void Drop(std::size_t length)
    {
        live_ -= length;
        garbage_ += length;
    }

    std::size_t LiveUnits() const { return live_; }
    std::size_t GarbageUnits() const { return garbage_; }
    // Bytes held for texts, unused block ends included.
    std::size_t Bytes() const
    {
        std::size_t bytes = blocks_.capacity() * sizeof(Block);
        for (const Block& b : blocks_)
            bytes += b.capacity * sizeof(char16_t);
        return bytes;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Block {
        std::unique_ptr<char16_t[]> data;
        std::uint32_t capacity = 0, used = 0;
    };

    std::size_t NewBlock(std::size_t units)
    {
        Block b;
        b.data.reset(new char16_t[units]);
        b.capacity = static_cast<std::uint32_t>(units);
        blocks_.push_back(std::move(b));
        return blocks_.size() - 1;
    }

    std::vector<Block> blocks_;
    std::size_t current_ = kNone; // the block short texts go to
    std::size_t live_ = 0, garbage_ = 0;
};

} // namespace excelsim
