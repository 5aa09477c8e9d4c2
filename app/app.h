// The installer's application object: all of its work happens in start-up.
#pragma once

#include "framework/afx.h"

class InstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern InstallerApp theApp;
