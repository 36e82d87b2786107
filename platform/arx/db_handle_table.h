// The database's map from handle to stub: one flat array probed linearly.
// A drawing of a million references holds millions of handles; a node per
// entry (std::unordered_map) costs an allocation, a pointer chase per
// lookup and about five times the memory of a slot here. A slot is the
// stub's index in the database's list of stubs and the low half of its
// handle: a probe compares within the array and reads the stub itself only
// to confirm the slot that matches.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// `Stubs` is the list the indexes refer to: random access, elements with a
// `handle`, never reordered.
template <class Stubs>
class DbHandleTable {
public:
    using Stub = typename Stubs::value_type;

    explicit DbHandleTable(Stubs& stubs)
        : m_stubs(stubs)
    {
    }
    DbHandleTable(const DbHandleTable&) = delete;
    DbHandleTable& operator=(const DbHandleTable&) = delete;

    // Room for `count` handles without growing.
    void reserve(std::size_t count)
    {
        std::size_t capacity = kMinCapacity;
        while (capacity / 4 * 3 < count)
            capacity *= 2;
        if (capacity > m_slots.size())
            rehash(capacity);
    }

    // Adds the stub at `index` under its handle; when the handle is taken
    // already, leaves the table as it was and returns the stub that has it.
    Stub* insert(std::size_t index)
    {
        if ((m_count + 1) > m_slots.size() / 4 * 3)
            rehash(m_slots.empty() ? kMinCapacity : m_slots.size() * 2);
        const std::uint64_t handle = m_stubs[index].handle;
        Slot& slot = probe(handle);
        if (slot.index != kFree)
            return &m_stubs[slot.index];
        slot = Slot{static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(handle)};
        ++m_count;
        return nullptr;
    }

    // The stub with `handle`, or null.
    Stub* find(std::uint64_t handle) const
    {
        if (m_slots.empty())
            return nullptr;
        const Slot& slot = const_cast<DbHandleTable*>(this)->probe(handle);
        return slot.index == kFree ? nullptr : &m_stubs[slot.index];
    }

    std::size_t size() const { return m_count; }

private:
    struct Slot {
        std::uint32_t index;  // kFree: the slot is free
        std::uint32_t handle; // its low half
    };
    static constexpr std::uint32_t kFree = UINT32_MAX; // a database has far fewer objects
    static constexpr std::size_t kMinCapacity = 16;

    std::size_t home(std::uint64_t handle) const
    {
        // A drawing's handles are mostly consecutive: their low bits, kept
        // as they are, put neighbours in neighbouring slots, so that loading
        // walks the table in order instead of missing the cache on every
        // insert. The higher bits are folded in so that handles differing
        // only there still spread.
        std::uint64_t folded = handle;
        for (int shift = m_bits; shift < 64; shift += m_bits)
            folded ^= handle >> shift;
        return static_cast<std::size_t>(folded) & (m_slots.size() - 1);
    }

    // The slot holding `handle`, else the free slot where it would go.
    Slot& probe(std::uint64_t handle)
    {
        const std::size_t mask = m_slots.size() - 1;
        const auto low = static_cast<std::uint32_t>(handle);
        for (std::size_t i = home(handle);; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.index == kFree || (slot.handle == low && m_stubs[slot.index].handle == handle))
                return slot;
        }
    }

    void rehash(std::size_t capacity)
    {
        std::vector<Slot> old(capacity, Slot{kFree, 0});
        old.swap(m_slots);
        m_bits = 0;
        for (std::size_t c = capacity; c > 1; c >>= 1)
            ++m_bits;
        for (const Slot& slot : old)
            if (slot.index != kFree)
                probe(m_stubs[slot.index].handle) = slot;
    }

    Stubs& m_stubs;
    std::vector<Slot> m_slots; // a power of two in size, at most three quarters full
    std::size_t m_count = 0;
    int m_bits = 0; // log2 of the capacity
};
