// Stand-in for commdlg.h: the flags of the common Open and Save dialogs the
// module passes (the framework's CFileDialog of afxdlgs.h shows them).
#pragma once
#include "windef.h"

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
