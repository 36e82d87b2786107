#include "recording_dc.h"

#include <afxwin.h>

#include <cstring>

// The handle of a recording device context: the wrapper FromHandle gives
// out, where the shapes go, and the drawing state (pen, current position).
struct HDC__ {
    CDC wrapper;
    std::vector<DrawnShape>* shapes = nullptr;
    CPen* pen = nullptr;
    CFont* font = nullptr;
    POINT position{0, 0};
    COLORREF textColour = RGB(0, 0, 0);
    int bkMode = OPAQUE;
};

namespace mfcwin {

HDC NewRecordingDC(std::vector<DrawnShape>& shapes)
{
    auto* dc = new HDC__;
    dc->wrapper.m_hDC = dc;
    dc->shapes = &shapes;
    return dc;
}

void DeleteRecordingDC(HDC dc) { delete dc; }

} // namespace mfcwin

namespace {

// The shell font's average character cell, as the dialog units use it.
constexpr LONG kCharWidth = 6;
constexpr LONG kCharHeight = 13;

void Record(HDC dc, DrawnShape shape)
{
    if (dc && dc->shapes)
        dc->shapes->push_back(std::move(shape));
}

} // namespace

CDC* CDC::FromHandle(HDC dc) { return dc ? &dc->wrapper : nullptr; }

BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state)
{
    if (!rect || type != DFC_BUTTON)
        return FALSE;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::Frame;
    shape.rect = *rect;
    shape.flags = state;
    Record(m_hDC, shape);
    return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    if (!m_hDC)
        return 0;
    const COLORREF before = m_hDC->textColour;
    m_hDC->textColour = colour;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::TextColour;
    shape.colour = colour;
    Record(m_hDC, shape);
    return before;
}

int CDC::SetBkMode(int mode)
{
    if (!m_hDC)
        return 0;
    const int before = m_hDC->bkMode;
    m_hDC->bkMode = mode;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::BkMode;
    shape.flags = static_cast<UINT>(mode);
    Record(m_hDC, shape);
    return before;
}

CSize CDC::GetTextExtent(LPCSTR text, int count) const
{
    const auto length = text ? (count < 0 ? std::strlen(text) : static_cast<std::size_t>(count)) : 0;
    return CSize(static_cast<int>(length) * kCharWidth, kCharHeight);
}

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format)
{
    if (!text || !rect)
        return 0;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::Text;
    shape.rect = *rect;
    shape.text = count < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(count));
    shape.flags = format;
    Record(m_hDC, shape);
    return kCharHeight;
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (!m_hDC)
        return nullptr;
    CPen* before = m_hDC->pen;
    m_hDC->pen = pen;
    return before;
}

CPoint CDC::MoveTo(int x, int y)
{
    if (!m_hDC)
        return CPoint();
    const CPoint before(m_hDC->position.x, m_hDC->position.y);
    m_hDC->position = {x, y};
    return before;
}

BOOL CDC::LineTo(int x, int y)
{
    if (!m_hDC)
        return FALSE;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::Line;
    shape.from = m_hDC->position;
    shape.to = {x, y};
    // Without a pen selected the device context's own is black, one pixel.
    shape.colour = m_hDC->pen ? m_hDC->pen->m_colour : RGB(0, 0, 0);
    shape.penWidth = m_hDC->pen ? m_hDC->pen->m_width : 1;
    Record(m_hDC, shape);
    m_hDC->position = {x, y};
    return TRUE;
}

void CDC::DrawFocusRect(LPCRECT rect)
{
    if (!rect)
        return;
    DrawnShape shape;
    shape.kind = DrawnShape::Kind::FocusRect;
    shape.rect = *rect;
    Record(m_hDC, shape);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (result)
        *result = TRUE;
    return TRUE;
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!m_hDC)
        return nullptr;
    CFont* before = m_hDC->font;
    m_hDC->font = font;
    return before;
}

CClientDC::CClientDC(CWnd*)
{
    // Without a shapes list nothing drawn here is recorded.
    m_hDC = new HDC__;
    m_hDC->wrapper.m_hDC = m_hDC;
}

CClientDC::~CClientDC() { delete m_hDC; }
