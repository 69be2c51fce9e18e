#pragma once
// Colours (0x00RRGGBB) and sizes of the control tests' faces, shared by their generator and the
// tests that read them back from the screen.
constexpr int kFaceSize = 16;
constexpr int kFaceCorner = 4;
constexpr unsigned kWhiteRgb = 0xFFFFFF;
// normal, hover, pressed, disabled
constexpr unsigned kUncheckedColors[4] = {0xC80000, 0x00A000, 0x0000C8, 0x808080};
constexpr unsigned kCheckedColors[4] = {0xC8C800, 0x00C8C8, 0xC800C8, 0x404040};
constexpr unsigned kArrowColors[4] = {0x0000FF, 0xFFFF00, 0xFF00FF, 0x606060};
constexpr int kComboHeight = 15;
constexpr int kComboArrowWidth = 18;
constexpr int kComboLeftWidth = 5;
constexpr int kComboMiddleWidth = 2;
constexpr unsigned kComboLeftColor = 0xFF0000;
constexpr unsigned kComboMiddleColor = 0x00FF00;
constexpr unsigned kMenuImageColor = 0x2040A0;
