#pragma once
// Agent's own pictures, drawn at build time as run-length-encoded palette bitmaps (a few
// kilobytes each: Agent.exe travels onto every USB drive) and carried as raw bitmap files, which
// the form layer's checked loader reads.
#include "AgentPictureIds.h"
#include "TPicture.h"

#include <windows.h>

// Ids of the pictures in Agent's resources.
namespace agentpic {
constexpr int kMainBackground = IDP_MAIN_BACK;
constexpr int kPasswordBackground = IDP_PASSWORD_BACK;
constexpr int kButton = IDP_BUTTON;                 // the main form's buttons
constexpr int kDialogButton = IDP_DLGBUTTON;        // the password dialog's
constexpr int kClose = IDP_CLOSE;
constexpr int kMinimize = IDP_MINIMIZE;
constexpr char kTrayIcon[] = "AGENT";               // the program's icon group
}  // namespace agentpic

bool LoadAgentPicture(TPicture& picture, int id);

class TskImageButton;
// Gives a button the four faces of one picture family.
void LoadButtonFaces(TskImageButton& button, int family);
