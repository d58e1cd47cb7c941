#include "framework/core/Resources.h"

namespace {
// The module's resources, as the platform keeps one resource handle per program.
const ResourceTables* g_pResources = nullptr;
}  // namespace

void AfxSetResourceTables(const ResourceTables* pTables) {
    g_pResources = pTables;
}

const ResourceTables* AfxGetResourceTables() {
    return g_pResources;
}

namespace {
template <class T, class Tables>
const T* FindById(const Tables& items, UINT nID) {
    for (const T& item : items) {
        if (item.id == nID) {
            return &item;
        }
    }
    return nullptr;
}
}  // namespace

bool AfxLoadString(UINT nID, std::string& text) {
    const ResourceTables* tables = AfxGetResourceTables();
    const StringDef* found =
        tables != nullptr ? FindById<StringDef>(tables->strings, nID) : nullptr;
    if (found == nullptr) {
        return false;
    }
    text = found->text;
    return true;
}

const MenuDef* AfxFindMenu(UINT nID) {
    const ResourceTables* tables = AfxGetResourceTables();
    return tables != nullptr ? FindById<MenuDef>(tables->menus, nID) : nullptr;
}

const AcceleratorTableDef* AfxFindAccelerators(UINT nID) {
    const ResourceTables* tables = AfxGetResourceTables();
    return tables != nullptr ? FindById<AcceleratorTableDef>(tables->accelerators, nID) : nullptr;
}

const ToolBarDef* AfxFindToolBar(UINT nID) {
    const ResourceTables* tables = AfxGetResourceTables();
    return tables != nullptr ? FindById<ToolBarDef>(tables->toolbars, nID) : nullptr;
}

const DialogDef* AfxFindDialog(UINT nID) {
    const ResourceTables* tables = AfxGetResourceTables();
    return tables != nullptr ? FindById<DialogDef>(tables->dialogs, nID) : nullptr;
}

const IconDef* AfxFindIcon(UINT nID) {
    const ResourceTables* tables = AfxGetResourceTables();
    return tables != nullptr ? FindById<IconDef>(tables->icons, nID) : nullptr;
}

std::string AfxExtractSubString(const std::string& text, int n, char sep) {
    std::size_t begin = 0;
    for (int i = 0; i < n; ++i) {
        begin = text.find(sep, begin);
        if (begin == std::string::npos) {
            return {};
        }
        ++begin;
    }
    const std::size_t end = text.find(sep, begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}
