#pragma once

#include "framework/dialog/Dialog.h"

// The about box: the program's icon, its name and version, and OK.
class CAboutBox : public CDialog {
public:
    CAboutBox();
    ~CAboutBox() override;
};
