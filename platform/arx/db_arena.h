// Memory for a database's objects. A drawing of a million references has
// millions of objects that all live exactly as long as their database, so
// they are carved from large blocks instead of each taking a heap block of
// its own (with its allocator header) and a pointer in a list of owners.
// The arena only hands out memory; the database runs the objects'
// destructors (it finds every object through its stubs) before the arena
// lets the blocks go.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

class DbArena {
public:
    DbArena() = default;
    DbArena(const DbArena&) = delete;
    DbArena& operator=(const DbArena&) = delete;

    void* allocate(std::size_t size, std::size_t alignment)
    {
        std::size_t at = (m_used + alignment - 1) & ~(alignment - 1);
        if (m_blocks.empty() || at + size > m_blockSize) {
            // A block is never touched beyond what is handed out, so a large
            // one costs no resident memory until it fills.
            m_blockSize = size > kBlockSize ? size : kBlockSize;
            m_blocks.push_back(std::unique_ptr<std::byte[]>(new std::byte[m_blockSize]));
            at = 0;
        }
        m_used = at + size;
        return m_blocks.back().get() + at;
    }

private:
    static constexpr std::size_t kBlockSize = std::size_t(1) << 20;
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
    std::size_t m_blockSize = 0, m_used = 0;
};
