#pragma once

#include <string>

#include "framework/core/Platform.h"
#include "framework/core/ResourceTypes.h"

// The running program's resources, looked up by identifier in the tables the program hands the
// framework. Every lookup gives null or false when the resource is missing.
void AfxSetResourceTables(const ResourceTables* pTables);
const ResourceTables* AfxGetResourceTables();

bool AfxLoadString(UINT nID, std::string& text);
const MenuDef* AfxFindMenu(UINT nID);
const AcceleratorTableDef* AfxFindAccelerators(UINT nID);
const ToolBarDef* AfxFindToolBar(UINT nID);
const DialogDef* AfxFindDialog(UINT nID);
const IconDef* AfxFindIcon(UINT nID);

// Field n (from 0) of a text whose fields are separated by sep: a document template string, or
// a command prompt ("status text\ntooltip"). Empty when there are fewer fields.
std::string AfxExtractSubString(const std::string& text, int n, char sep = '\n');
