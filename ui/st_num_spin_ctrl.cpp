#include "ui/st_num_spin_ctrl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// The control's own position: the middle of a range the value never uses.
constexpr int kPositionRange = 1000;
constexpr int kPositionMiddle = 500;
} // namespace

BEGIN_MESSAGE_MAP(CStNumSpinCtrl, CSpinButtonCtrl)
ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

void CStNumSpinCtrl::SetDelta(double delta) { m_delta = delta; }

double CStNumSpinCtrl::GetDelta() const { return m_delta; }

void CStNumSpinCtrl::GetRange(double& lower, double& upper) const
{
    lower = m_lower;
    upper = m_upper;
}

void CStNumSpinCtrl::SetRange(double lower, double upper)
{
    CSpinButtonCtrl::SetRange32(0, kPositionRange);
    m_lower = lower;
    m_upper = upper;
}

double CStNumSpinCtrl::GetPos() const
{
    CWnd* buddy = GetBuddy();
    if (!buddy)
        return 0.0;
    CString text;
    buddy->GetWindowText(text);
    return std::atof(text);
}

void CStNumSpinCtrl::SetPos(double value)
{
    CSpinButtonCtrl::SetPos(kPositionMiddle);
    Show(value);
}

void CStNumSpinCtrl::Show(double value)
{
    CWnd* buddy = GetBuddy();
    if (!buddy)
        return;
    // As many decimals as the value needs, and never fewer than shown before.
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    if (const char* point = std::strchr(text, '.')) {
        const int decimals = static_cast<int>(std::strlen(point + 1));
        if (decimals > m_decimals)
            m_decimals = decimals;
    }
    std::snprintf(text, sizeof text, "%.*f", m_decimals, value);
    buddy->SetWindowText(text);
}

void CStNumSpinCtrl::OnDeltaPos(NMHDR* header, LRESULT* result)
{
    *result = 0;
    CWnd* buddy = GetBuddy();
    if (!buddy)
        return;
    auto* change = reinterpret_cast<NMUPDOWN*>(header);
    if (change->iPos <= change->iDelta || change->iPos >= kPositionRange - change->iDelta)
        change->iPos = kPositionMiddle;
    double value = GetPos() + change->iDelta * m_delta;
    if (value > m_upper)
        value = m_upper;
    if (value < m_lower)
        value = m_lower;
    Show(value);
}
