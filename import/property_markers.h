// The header-cell comments by which export marks its property columns. Import
// knows a property column only by the whole text of that comment, compared
// exactly, so both sides take the texts from the same resource strings.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

enum class PropertyColumn {
    None, // a comment that marks nothing import applies (the layout column's, say)
    X,
    Y,
    Z,
    Rotation,
    Scale, // any of the three scale markers: the columns fill the factors in row order
    Layer,
};

// Export marks eight property columns: X, Y, Z, rotation, three scale
// factors and the layer.
inline constexpr std::size_t kPropertyMarkerCount = 8;

class PropertyMarkers {
public:
    // The marker texts of the resource module (one load per worksheet scan,
    // not one per cell).
    static PropertyMarkers FromResources();
    // Texts in the order X, Y, Z, rotation, scale X, scale Y, scale Z, layer.
    explicit PropertyMarkers(std::array<std::string, kPropertyMarkerCount> texts);

    PropertyColumn Classify(std::string_view commentText) const;

private:
    std::array<std::string, kPropertyMarkerCount> m_texts;
};
