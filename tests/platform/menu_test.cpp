// Menus as Windows answers for them: positions from 0, an untitled item
// reads as 0 characters, a text is cut to the buffer with its terminator,
// a handle that is no menu gives -1 with ERROR_INVALID_MENU_HANDLE.
#include "support/leak_checked_test.h"

#include <windows.h>

namespace {

using MenuTest = LeakCheckedTest;

// Native: GetMenuStringA returns the characters copied (0 for an untitled item) and searches pop-ups by command.
TEST_F(MenuTest, ItemsReadByPositionAndCommand)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(file, MF_STRING, 101, "&Open..."));
    ASSERT_TRUE(AppendMenuA(file, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), ""));
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File"));
    EXPECT_EQ(GetMenuItemCount(bar), 2);

    char text[16] = "x";
    EXPECT_EQ(GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION), 0) << "an untitled item";
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION), 5);
    EXPECT_STREQ(text, "&File");
    EXPECT_EQ(GetMenuStringA(bar, 2, text, sizeof text, MF_BYPOSITION), 0) << "past the end";
    // By command the search goes into the pop-ups.
    EXPECT_EQ(GetMenuStringA(bar, 101, text, sizeof text, MF_BYCOMMAND), 8);
    EXPECT_STREQ(text, "&Open...");
    char shortBuffer[4];
    EXPECT_EQ(GetMenuStringA(bar, 101, shortBuffer, sizeof shortBuffer, MF_BYCOMMAND), 3);
    EXPECT_STREQ(shortBuffer, "&Op");
    EXPECT_EQ(GetSubMenu(bar, 1), file);
    EXPECT_EQ(GetSubMenu(file, 0), nullptr);
    EXPECT_TRUE(DestroyMenu(bar)) << "destroys its pop-ups too";
    EXPECT_EQ(GetMenuItemCount(file), -1);
}

// Native: a handle that is no menu gives -1 and ERROR_INVALID_MENU_HANDLE.
TEST_F(MenuTest, WindowMenuBarsAndInvalidHandles)
{
    HWND window = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(GetMenu(window), nullptr);
    HMENU bar = CreateMenu();
    ASSERT_TRUE(SetMenu(window, bar));
    EXPECT_EQ(GetMenu(window), bar);
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_EQ(GetMenu(window), nullptr) << "a destroyed menu is no window's bar";
    SetLastError(0);
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_FALSE(SetMenu(nullptr, nullptr));
}

} // namespace
