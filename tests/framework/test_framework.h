#pragma once
// Templates of the framework tests' own resources.
#define IDD_TEST_DIALOG 300
#define IDD_PAGE_A 301
#define IDD_PAGE_B 302
#define IDD_PAGE_C 303
#define IDD_SCALE 304

#define IDC_TEST_EDIT 100
#define IDC_TEST_BUTTON 101
#define IDC_TEST_RADIO_ONE 110
#define IDC_TEST_RADIO_TWO 111
#define IDC_TEST_CHECK 112
#define IDC_SCALE_FIRST 201
#define IDC_SCALE_SECOND 202
#define IDC_SCALE_THIRD 203
