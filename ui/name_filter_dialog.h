// The filter dialog of the block choice: the layers whose references are
// exported (written to the module's LayerFilter on OK) and a wildcard
// pattern that narrows the block list. One object lives as long as its
// block-name dialog, so the choices reappear when it is opened again there.
#pragma once
#include <acui.h>
#include <afxcmn.h>

#include <string>
#include <vector>

class CNameFilterDialog : public CAcUiDialog {
public:
    explicit CNameFilterDialog(CWnd* parent = nullptr);

    bool LayerFilterOn() const { return m_layerFilter != FALSE; }
    bool PatternFilterOn() const { return m_patternFilter != FALSE; }
    // Whether the export is limited to the user's selection; the box shows
    // only while there is a selection.
    bool SelectionOnly() const { return m_selectionOnly != FALSE; }
    void SetSelectionOnly(bool on) { m_selectionOnly = on ? TRUE : FALSE; }
    std::string Pattern() const { return m_pattern.GetString(); }
    // Any of the three boxes on: the block list's menu marks its filter item.
    bool AnyFilterOn() const { return LayerFilterOn() || PatternFilterOn() || SelectionOnly(); }

    // The longest pattern the box takes: a block name has at most 255 characters.
    static constexpr UINT kPatternLimit = 255;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* message) override;
    void OnOK() override;
    void OnCancel() override;
    void OnFilterBoxClicked();

    DECLARE_MESSAGE_MAP()

private:
    void EnableByBoxes();
    void FillLayerList();

    int m_layerFilter = FALSE;
    int m_patternFilter = FALSE;
    int m_selectionOnly = FALSE;
    CString m_pattern = "*";
    std::vector<int> m_keptLayers; // positions selected at the last OK
    bool m_openedBefore = false;
    // The boxes as the dialog opened with them: clicking a box reads it into
    // its field at once, and Cancel must leave the fields as they were.
    int m_openedWith[3] = {FALSE, FALSE, FALSE};

    CListCtrl m_layerList;
    CEdit m_patternEdit;
    CToolTipCtrl m_toolTip;
};
