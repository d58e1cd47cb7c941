#include "shell/OptionsGeneral.h"

#include "resources/Resource.h"

const CRuntimeClass COptionsGeneral::runtimeClass{"COptionsGeneral", &CPropertyPage::runtimeClass,
                                                  &CreateRuntimeObject<COptionsGeneral>};

COptionsGeneral::COptionsGeneral() : CPropertyPage(IDD_OPTIONS_GENERAL, 0) {}
COptionsGeneral::~COptionsGeneral() = default;

void COptionsGeneral::DoDataExchange(CDataExchange* /*pDX*/) {
    // No control is tied to a value, in either direction.
}
