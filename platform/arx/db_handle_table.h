// The database's map from handle to stub: one flat array probed linearly.
// A drawing of a million references holds millions of handles; a node per
// entry (std::unordered_map) costs an allocation, a pointer chase per
// lookup and about three times the memory of a slot here. A slot keeps the
// handle beside the stub so that a probe never leaves the array.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class AcDbStub;

class DbHandleTable {
public:
    // Room for `count` handles without growing.
    void reserve(std::size_t count)
    {
        std::size_t capacity = kMinCapacity;
        while (capacity / 4 * 3 < count)
            capacity *= 2;
        if (capacity > m_slots.size())
            rehash(capacity);
    }

    // Adds `stub` under `handle`; when the handle is taken already, leaves
    // the table as it was and returns the stub that has it.
    AcDbStub* insert(std::uint64_t handle, AcDbStub* stub)
    {
        if ((m_count + 1) > m_slots.size() / 4 * 3)
            rehash(m_slots.empty() ? kMinCapacity : m_slots.size() * 2);
        Slot& slot = probe(handle);
        if (slot.stub)
            return slot.stub;
        slot = Slot{handle, stub};
        ++m_count;
        return nullptr;
    }

    // The stub with `handle`, or null.
    AcDbStub* find(std::uint64_t handle) const
    {
        if (m_slots.empty())
            return nullptr;
        return const_cast<DbHandleTable*>(this)->probe(handle).stub;
    }

    std::size_t size() const { return m_count; }

private:
    struct Slot {
        std::uint64_t handle = 0;
        AcDbStub* stub = nullptr; // null: the slot is free
    };
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
        for (std::size_t i = home(handle);; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (!slot.stub || slot.handle == handle)
                return slot;
        }
    }

    void rehash(std::size_t capacity)
    {
        std::vector<Slot> old(capacity);
        old.swap(m_slots);
        m_bits = 0;
        for (std::size_t c = capacity; c > 1; c >>= 1)
            ++m_bits;
        for (const Slot& slot : old)
            if (slot.stub)
                probe(slot.handle) = slot;
    }

    std::vector<Slot> m_slots; // a power of two in size, at most three quarters full
    std::size_t m_count = 0;
    int m_bits = 0; // log2 of the capacity
};
