// An up-down control that steps a decimal value shown in its buddy edit box.
// The value lives in the buddy as text, so what the user types is what the
// arrows step from; the control's own integer position is kept near the
// middle of 0..1000, so that it never stops at its own ends.
#pragma once
#include <afxcmn.h>

class CStNumSpinCtrl : public CSpinButtonCtrl {
public:
    virtual void SetDelta(double delta);
    virtual double GetDelta() const;
    virtual void GetRange(double& lower, double& upper) const;
    virtual void SetRange(double lower, double upper);
    virtual double GetPos() const;
    virtual void SetPos(double value);

protected:
    void OnDeltaPos(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    void Show(double value);

    double m_lower = 0.0;
    double m_upper = 0.0;
    double m_delta = 1.0;
    int m_decimals = 0; // only grows: a value once shown with decimals keeps them
};
