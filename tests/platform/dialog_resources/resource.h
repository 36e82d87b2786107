// Ids of the framework tests' own resource module (not the module's).
#pragma once

#define IDS_TEST_TITLE 1
#define IDD_FRAMEWORK_TEST 500
#define IDR_FRAMEWORK_MENU 501

#define IDC_RADIO_ONE 601
#define IDC_RADIO_TWO 602
#define IDC_RADIO_THREE 603
#define IDC_COUNT 610
#define IDC_NAME 611
#define IDC_FLAG 620
#define IDC_APPLY 630
#define IDC_LOCKED 631
#define IDC_HIDDEN 632
#define IDC_ITEMS 640

#define ID_MENU_FIRST 701
#define ID_MENU_CHECKED 702
#define ID_MENU_GRAYED 703
#define ID_MENU_NESTED 704
