#pragma once
// Agent's own pictures, drawn at build time as run-length-encoded palette bitmaps (a few
// kilobytes each: Agent.exe travels onto every USB drive) and carried as raw bitmap files, which
// the form layer's checked loader reads.
#include "TPicture.h"

#include <windows.h>

// Names of the pictures in Agent's resources.
namespace agentpic {
constexpr char kMainBackground[] = "MAIN_BACK";           // 326 x 193
constexpr char kPasswordBackground[] = "PASSWORD_BACK";   // 361 x 193
constexpr char kButton[] = "BUTTON";                      // 90 x 23, the main form's buttons
constexpr char kDialogButton[] = "DLGBUTTON";             // 90 x 25, the password dialog's
constexpr char kClose[] = "CLOSE";                        // 20 x 20
constexpr char kMinimize[] = "MINIMIZE";                  // 20 x 20
constexpr char kTrayIcon[] = "AGENT";                     // the program's icon group
// The four faces of a button follow its name: "BUTTON_NORMAL", "_HOT", "_DOWN", "_DISABLED".
}  // namespace agentpic

bool LoadAgentPicture(TPicture& picture, const char* name);

class TskImageButton;
// Gives a button the four faces of one picture family.
void LoadButtonFaces(TskImageButton& button, const char* family);
