// The dialog framework stand-in (afxwin.h, afxcmn.h, acui.h) and its driver:
// dialogs built from a compiled resource script, data exchange and
// validation as MFC does them, notification routing through message maps,
// popup menus, and the driver's refusals. The dialog comes from this test's
// own resource module (dialog_resources/framework_test.rc).
#include "support/host_fixture.h"

#include "resource.h"

#include <acui.h>
#include <afxcmn.h>
#include <dialog_driver.h>
#include <loader.h>

#include <gtest/gtest.h>

namespace {

class FrameworkDialog : public CAcUiDialog {
public:
    explicit FrameworkDialog(HINSTANCE resources)
        : CAcUiDialog(IDD_FRAMEWORK_TEST, nullptr, resources)
    {
    }

    int choice = 1;
    int count = 5;
    CString name = "abc";
    int flag = BST_CHECKED;
    int applied = 0;
    int cancels = 0;
    std::vector<UINT> commands;
    UINT popupFlags = TPM_RETURNCMD;
    BOOL tracked = -1;
    CListCtrl items;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_ITEMS, items);
        DDX_Radio(dx, IDC_RADIO_ONE, choice);
        DDX_Text(dx, IDC_COUNT, count);
        DDV_MinMaxInt(dx, count, 1, 10);
        DDX_Text(dx, IDC_NAME, name);
        DDV_MaxChars(dx, name, 8);
        DDX_Check(dx, IDC_FLAG, flag);
    }
    BOOL OnInitDialog() override
    {
        CAcUiDialog::OnInitDialog();
        items.InsertColumn(0, "Item", LVCFMT_LEFT, 100);
        for (const char* text : {"red", "green", "blue"})
            items.InsertItem(items.GetItemCount(), text);
        return TRUE;
    }
    void OnCancel() override
    {
        ++cancels;
        CAcUiDialog::OnCancel();
    }
    void OnApply() { ++applied; }
    void OnItemsRightClick(NMHDR* header, LRESULT*)
    {
        EXPECT_EQ(header->idFrom, static_cast<UINT_PTR>(IDC_ITEMS));
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_FRAMEWORK_MENU));
        tracked = menu.GetSubMenu(0)->TrackPopupMenu(popupFlags, 0, 0, this);
    }
    void OnFirst() { commands.push_back(ID_MENU_FIRST); }
    void OnNested() { commands.push_back(ID_MENU_NESTED); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FrameworkDialog, CAcUiDialog)
ON_BN_CLICKED(IDC_APPLY, OnApply)
ON_NOTIFY(NM_RCLICK, IDC_ITEMS, OnItemsRightClick)
ON_COMMAND(ID_MENU_FIRST, OnFirst)
ON_COMMAND(ID_MENU_NESTED, OnNested)
END_MESSAGE_MAP()

class DialogFrameworkTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        resources = LoadLibraryA(GW_BIN_DIR "/framework_test_res.dll");
        ASSERT_NE(resources, nullptr);
        // Menus load from the current resource source, as in the module.
        acDocManager->pushResourceHandle(resources);
    }
    void TearDown() override
    {
        acDocManager->popResourceHandle();
        FreeLibrary(resources);
        HostFixture::TearDown();
    }
    HINSTANCE resources = nullptr;
};

TEST_F(DialogFrameworkTest, BuildsTheDialogFromItsTemplateAndExchangesTheFields)
{
    FrameworkDialog dialog(resources);
    DialogForm form;
    dialogs.Next([&](DialogSession& session) {
        form = session.form();
        Act(session, "click 603");
        Act(session, "text 610 7");
        Act(session, "text 611 new name");
        Act(session, "check 620 off");
        Act(session, "ok");
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(form.templateId, IDD_FRAMEWORK_TEST);
    EXPECT_EQ(form.title, "Framework \"test\"");
    std::vector<int> ids;
    for (const FormControl& control : form.controls)
        ids.push_back(control.id);
    EXPECT_EQ(ids, (std::vector<int>{601, 602, 603, 610, 611, 620, 630, 631, 632, 640, IDOK, IDCANCEL}));
    // The fields went into the controls before the user saw them.
    EXPECT_EQ(form.control(IDC_RADIO_TWO)->check, BST_CHECKED);
    EXPECT_EQ(form.control(IDC_RADIO_ONE)->check, BST_UNCHECKED);
    EXPECT_EQ(form.control(IDC_COUNT)->text, "5");
    EXPECT_EQ(form.control(IDC_NAME)->text, "abc");
    EXPECT_EQ(form.control(IDC_FLAG)->check, BST_CHECKED);
    EXPECT_EQ(form.control(IDC_FLAG)->kind, "checkbox");
    EXPECT_EQ(form.control(IDC_APPLY)->kind, "button");
    EXPECT_EQ(form.control(IDC_ITEMS)->kind, "list");
    EXPECT_FALSE(form.control(IDC_LOCKED)->enabled);
    EXPECT_FALSE(form.control(IDC_HIDDEN)->visible);
    EXPECT_EQ(form.control(IDC_ITEMS)->columns, std::vector<std::string>{"Item"});
    ASSERT_EQ(form.control(IDC_ITEMS)->items.size(), 3u);
    // Without a focus of the dialog's own choosing, the first tab stop has it.
    EXPECT_TRUE(form.control(IDC_COUNT)->hasFocus);

    // ... and came back from them on OK; the window is gone with DoModal.
    EXPECT_EQ(dialog.choice, 2);
    EXPECT_EQ(dialog.count, 7);
    EXPECT_STREQ(dialog.name.GetString(), "new name");
    EXPECT_EQ(dialog.flag, BST_UNCHECKED);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.items.m_hWnd, nullptr);
}

TEST_F(DialogFrameworkTest, AFailedValidationTellsTheUserAndKeepsTheDialogOpen)
{
    FrameworkDialog dialog(resources);
    dialogs.Next([&](DialogSession& session) {
        Act(session, "text 610 11");
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        EXPECT_TRUE(session.form().control(IDC_COUNT)->hasFocus);
        Act(session, "text 610 seven");
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        Act(session, "text 610 10");
        Act(session, "text 611 nine char");
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        Act(session, "text 611 eight ch");
        Act(session, "ok");
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(messageBoxes.boxes.size(), 3u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "Enter an integer between 1 and 10.");
    EXPECT_EQ(messageBoxes.boxes[1].text, "Enter an integer.");
    EXPECT_EQ(messageBoxes.boxes[2].text, "Enter no more than 8 characters.");
    EXPECT_EQ(dialog.count, 10);
    EXPECT_STREQ(dialog.name.GetString(), "eight ch");
}

TEST_F(DialogFrameworkTest, NotificationsAndMenuCommandsReachTheMessageMap)
{
    FrameworkDialog dialog(resources);
    dialog.popupFlags = TPM_LEFTALIGN; // the command comes as WM_COMMAND
    dialogs.popupAnswers = {ID_MENU_NESTED};
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 630");
        Act(session, "click 630");
        Act(session, "rclick 640 701");
        // Without a command in the action, the driver is asked.
        Act(session, "rclick 640");
        Act(session, "cancel");
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.applied, 2);
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{ID_MENU_FIRST, ID_MENU_NESTED}));
    EXPECT_EQ(dialog.cancels, 1);
    // The driver saw the popup with its states and its nested popup.
    ASSERT_EQ(dialogs.popups.size(), 1u);
    const PopupForm& popup = dialogs.popups[0];
    ASSERT_NE(popup.item(ID_MENU_CHECKED), nullptr);
    EXPECT_TRUE(popup.item(ID_MENU_CHECKED)->checked);
    EXPECT_TRUE(popup.item(ID_MENU_GRAYED)->grayed);
    EXPECT_EQ(popup.item(ID_MENU_NESTED)->depth, 1);
}

TEST_F(DialogFrameworkTest, APopupReturnsOnlyAnEnabledCommandOfItsOwn)
{
    FrameworkDialog dialog(resources);
    dialogs.Next([&](DialogSession& session) {
        Act(session, "rclick 640 702");
        EXPECT_EQ(dialog.tracked, ID_MENU_CHECKED);
        const ActionResult grayed = session.perform("rclick 640 703");
        EXPECT_FALSE(grayed.done);
        EXPECT_EQ(grayed.why, "menu command 703 is disabled");
        EXPECT_EQ(dialog.tracked, 0);
        const ActionResult foreign = session.perform("rclick 640 999");
        EXPECT_FALSE(foreign.done);
        EXPECT_EQ(foreign.why, "999 is not a command of the menu");
        Act(session, "cancel");
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.commands.empty());
}

TEST_F(DialogFrameworkTest, RefusedActionsSayWhyAndChangeNothing)
{
    FrameworkDialog dialog(resources);
    dialogs.Next([&](DialogSession& session) {
        const std::string before = FormatDialogForm(session.form());
        const std::vector<std::pair<std::string, std::string>> cases = {
            {"click 999", "there is no control 999"},
            {"click 631", "control 631 is disabled"},
            {"click 632", "control 632 is hidden"},
            {"click 640", "control 640 is a list; click works on buttons, check boxes and radio buttons"},
            {"text 620 x", "control 620 is a checkbox; text works on edit boxes"},
            {"select 640 3", "list 640 has 3 items; there is no item 3"},
            {"select 640 0 1", "list 640 takes one selected item"},
            {"focus 640 -1", "list 640 has 3 items; there is no item -1"},
            {"check 620 maybe", "check needs on or off after the control id"},
            {"check 602 off", "radio button 602 goes off when another of its group is picked"},
            {"click abc", "\"abc\" is not a control id"},
            {"click", "click needs a control id"},
            {"ok now", "ok takes nothing after it"},
            {"rclick 640 1 2", "rclick takes at most one menu command after the control id"},
        };
        for (const auto& [action, why] : cases) {
            const ActionResult result = session.perform(action);
            EXPECT_FALSE(result.done) << action;
            EXPECT_EQ(result.why, why) << action;
        }
        const ActionResult unknown = session.perform("press 1");
        EXPECT_FALSE(unknown.done);
        EXPECT_NE(unknown.why.find("unknown action \"press\""), std::string::npos);
        // An edit box takes up to its limit: a longer text is refused whole.
        const ActionResult tooLong = session.perform("text 611 " + std::string(30001, 'x'));
        EXPECT_FALSE(tooLong.done);
        EXPECT_EQ(tooLong.why, "edit box 611 takes at most 30000 characters; the text has 30001");
        EXPECT_EQ(FormatDialogForm(session.form()), before);
        Act(session, "cancel");
        // A closed dialog takes no more actions.
        EXPECT_EQ(session.perform("ok").why, "the dialog is closed");
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.applied, 0);
}

TEST_F(DialogFrameworkTest, ListsKeepOneFocusAndOneSelectionInSingleSelectionMode)
{
    FrameworkDialog dialog(resources);
    dialogs.Next([&](DialogSession& session) {
        CListCtrl& items = dialog.items;
        items.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        items.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(items.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED), 0u);
        EXPECT_EQ(items.GetNextItem(-1, LVNI_SELECTED), 2);
        EXPECT_EQ(items.GetNextItem(-1, LVNI_FOCUSED), 2);
        Act(session, "select 640 1");
        Act(session, "focus 640 0");
        const DialogForm form = session.form();
        const FormControl* list = form.control(IDC_ITEMS);
        EXPECT_TRUE(list->items[1].selected);
        EXPECT_FALSE(list->items[2].selected);
        EXPECT_TRUE(list->items[0].focused);
        EXPECT_FALSE(list->items[2].focused);
        EXPECT_TRUE(list->hasFocus);
        POSITION position = items.GetFirstSelectedItemPosition();
        EXPECT_EQ(items.GetNextSelectedItem(position), 1);
        EXPECT_EQ(position, nullptr);
        Act(session, "select 640");
        EXPECT_EQ(items.GetFirstSelectedItemPosition(), nullptr);
        EXPECT_EQ(items.GetSelectedCount(), 0u);
        Act(session, "ok");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST_F(DialogFrameworkTest, ADialogNobodyAnswersIsCancelledAndLeavesNoWindow)
{
    // A driver that gives up leaves the dialog to be cancelled through OnCancel.
    FrameworkDialog left(resources);
    dialogs.Next([](DialogSession&) {});
    EXPECT_EQ(left.DoModal(), IDCANCEL);
    EXPECT_EQ(left.cancels, 1);

    // No driver at all: cancelled as it opens.
    SetDialogDriver(nullptr);
    FrameworkDialog unanswered(resources);
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
    EXPECT_EQ(unanswered.cancels, 1);
    SetDialogDriver(&dialogs);

    // A template the resource module lacks: DoModal fails as MFC's does.
    CAcUiDialog missing(9999, nullptr, resources);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(CurrentLeakCounters().windows, 0);
    EXPECT_EQ(CurrentLeakCounters().menus, 0);
}

} // namespace
