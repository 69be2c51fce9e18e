#pragma once
// Brixom's application: starts the outside lock service and disk driver, then runs the wizard.
#include "CWinApp.h"

class CWizardApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // TRUE when both outside services are ready after the start attempts.
    static BOOL StartDiskServices();

    DECLARE_MESSAGE_MAP()
};

extern CWizardApp theApp;
