#pragma once
// Resource ids of Feedback.exe.
#define IDD_FEEDBACK 100
#define IDC_PROMPT 1001
#define IDC_TEXT 1002
