#include "shell/AboutBox.h"

#include "resources/Resource.h"

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX, nullptr) {}
CAboutBox::~CAboutBox() = default;
