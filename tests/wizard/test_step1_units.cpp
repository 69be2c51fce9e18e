// Page 1's path rule and the notice's drag band, in the test process with Brixom's own resources.
#include <gtest/gtest.h>

#include <string>

#include "CDlgGetNewVersion.h"
#include "CStep1.h"
#include "MountedDisks.h"
#include "MountedDriveInfo.h"
#include "resource.h"

TEST(Step1Paths, NtFormBecomesTheDosPathAndTheRecordBoundsTheLength)
{
    struct Case {
        const wchar_t* path;
        size_t length;
        const char* dos;
    };
    const Case cases[] = {
        {L"\\??\\C:\\disks\\a.sqv", 18, "C:\\disks\\a.sqv"},
        {L"  \\??\\D:\\x", 10, "D:\\x"},
        {L"\\??\\C:\\x", 0, ""},
        {nullptr, 5, ""},
        {L"\\??\\C:\\abcdef", 9, "C:\\ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dos);
        EXPECT_EQ(NtPathToDosPath(c.path, c.length), c.dos);
    }

    // A record that claims more than it holds is read to its end and no further.
    MountedDriveInfo info = {};
    for (size_t i = 0; i < MountedDriveInfo::kPathUnits; ++i)
        info.path[i] = L'a';
    info.pathLength = 0xFFFF;
    EXPECT_EQ(NtPathToDosPath(info.path, info.pathLength).size(), MountedDriveInfo::kPathUnits - 1);
}

// Only a press in the top band (y up to 30) turns into a caption press that drags the notice.
TEST(NewVersionNotice, DraggedByItsTopBandOnly)
{
    CDlgGetNewVersion notice(nullptr);
    ASSERT_TRUE(notice.Create(IDD_GETNEWVERSION, nullptr));
    RECT client = {};
    GetClientRect(notice.m_hWnd, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 267);
    for (int y : {0, 15, 30, 31, 100}) {
        SCOPED_TRACE("y = " + std::to_string(y));
        MSG drop;
        while (PeekMessageA(&drop, notice.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
        }
        SendMessageA(notice.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, y));
        MSG msg;
        const bool caption = PeekMessageA(&msg, notice.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != 0;
        EXPECT_EQ(caption, y <= CDlgGetNewVersion::kDragBandBottom);
        if (caption) {
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
            EXPECT_EQ(HIWORD(msg.lParam), y);
        }
        SendMessageA(notice.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(50, y));
    }
    notice.DestroyWindow();
}
