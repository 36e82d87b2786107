// The block definitions that export offers or accepts: each name with
// whether the definition holds attribute definitions. Built fresh by every
// export command from the working drawing.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class BlockNameTable {
public:
    struct Entry {
        std::string name; // as the drawing stores it
        bool hasAttributes = false;
    };

    // Adds `name`, or updates the flag of the name that equals it without
    // regard to case.
    void set(const std::string& name, bool hasAttributes);
    // The entry whose name equals `name` without regard to case, or null.
    const Entry* find(const std::string& name) const;
    void clear();

    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    // The table's order, which the block choice and the empty answer to the
    // typed names both use: the order of the drawing's block table.
    const std::vector<Entry>& entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
    std::unordered_map<std::string, std::size_t> m_index; // case-folded name -> entry
};

// Whether `name` is model space or a paper-space layout block: its first 12
// characters equal "*MODEL_SPACE" or "*PAPER_SPACE" in any letter case (so
// "*Paper_Space0" and the like count as well).
bool IsLayoutBlockName(const char* name);

// Fills `table` with the block definitions of the working drawing that are
// neither anonymous nor layout blocks. False when the block table or its
// iterator cannot be had; when nothing qualifies, the user is told and the
// result is true with the table empty.
bool BuildBlockNameTable(BlockNameTable& table);
