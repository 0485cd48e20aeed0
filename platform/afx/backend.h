// What the framework needs of the desktop beyond the platform's API. Each desktop has
// one implementation: linux/ over our layer, windows/ over the platform itself.
#pragma once

#include "platform/win/windows.h"

namespace vireo::afx {

// Makes the framework's own strings loadable by LoadString.
void PrepareFrameworkResources();

// From the start of the message loop to its end, key messages reach `filter` (the
// application's pre-translation) before the window they are meant for; it returns TRUE
// for a message it consumed.
void BeginPreTranslation(BOOL (*filter)(MSG* pMsg));
void EndPreTranslation();

// A message box, as MessageBoxA shows it; with VIREO_UNATTENDED=1 it prints
// "CAPTION: TEXT" on standard error instead and answers with its default button.
int ShowMessageBox(HWND hWndOwner, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// The frame's view fills the frame's client area.
void FillClientArea(HWND hWndFrame, HWND hWndView);

} // namespace vireo::afx
