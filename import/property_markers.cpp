#include "import/property_markers.h"

#include "common/resource_strings.h"
#include "res/resource.h"

#include <utility>

namespace {

constexpr PropertyColumn kColumnOfMarker[kPropertyMarkerCount] = {
    PropertyColumn::X,
    PropertyColumn::Y,
    PropertyColumn::Z,
    PropertyColumn::Rotation,
    PropertyColumn::Scale,
    PropertyColumn::Scale,
    PropertyColumn::Scale,
    PropertyColumn::Layer,
};

} // namespace

PropertyMarkers PropertyMarkers::FromResources()
{
    return PropertyMarkers({
        ResourceString(IDS_MARKER_X),
        ResourceString(IDS_MARKER_Y),
        ResourceString(IDS_MARKER_Z),
        ResourceString(IDS_MARKER_ROTATION),
        ResourceString(IDS_MARKER_SCALE_X),
        ResourceString(IDS_MARKER_SCALE_Y),
        ResourceString(IDS_MARKER_SCALE_Z),
        ResourceString(IDS_MARKER_LAYER),
    });
}

PropertyMarkers::PropertyMarkers(std::array<std::string, kPropertyMarkerCount> texts)
    : m_texts(std::move(texts))
{
}

PropertyColumn PropertyMarkers::Classify(std::string_view commentText) const
{
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        // A marker missing from the resource module must not turn every
        // empty header comment into a property column.
        if (!m_texts[i].empty() && commentText == m_texts[i])
            return kColumnOfMarker[i];
    }
    return PropertyColumn::None;
}
