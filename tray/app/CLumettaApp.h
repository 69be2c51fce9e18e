#pragma once
// Lumetta's application: one copy per log-on, decided by a named mutex; it runs the hidden tray
// dialog until the user exits.
#include "CWinApp.h"

constexpr const char* kLumettaMutex = "Norvalix_Sequora_Lumetta";

class CLumettaApp : public CWinApp {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
