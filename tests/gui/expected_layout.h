// What the two dialog templates must hold: the converter window (102) and
// the About box (100). Shared by the resource checks and the live-window
// checks, so both hold the program to the same layout.
#pragma once

#include <windows.h>

#include "converter_window.h"
#include "dialog_template.h"

namespace quillo::gui {

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD kind;  // BS_*, SS_* type bits; 0 for edits
    const wchar_t* text;
    DialogUnitsRect rect;
    bool tabStop;
    bool startsGroup;
    bool enabledAtStart;
};

inline constexpr int kConverterTemplateId = 102;
inline constexpr int kAboutTemplateId = 100;
inline constexpr int kAboutMenuStringId = 101;
inline constexpr int kIconId = 128;

// Style bits the templates are checked on; others (DS_SETFONT and the like)
// belong to how the template is written down.
inline constexpr DWORD kCheckedDialogStyles =
    WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_DISABLED | WS_MINIMIZEBOX |
    WS_MAXIMIZEBOX | WS_THICKFRAME | DS_MODALFRAME | DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN;

inline constexpr DialogUnitsRect kConverterSize = {0, 0, 319, 139};
inline constexpr DWORD kConverterStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

inline constexpr ExpectedControl kConverterControls[] = {
    {control::kGenerate,
     L"Button",
     BS_DEFPUSHBUTTON,
     L"Generate",
     {263, 29, 50, 14},
     true,
     false,
     true},
    {control::kCancel, L"Button", BS_PUSHBUTTON, L"Annuler", {263, 46, 50, 14}, true, false, true},
    {control::kSource, L"Edit", 0, L"", {7, 16, 218, 13}, true, false, true},
    {control::kBrowseSource,
     L"Button",
     BS_PUSHBUTTON,
     L"...",
     {228, 16, 22, 13},
     true,
     false,
     true},
    {control::kDest, L"Edit", 0, L"", {7, 46, 218, 13}, true, false, true},
    {control::kBrowseDest, L"Button", BS_PUSHBUTTON, L"...", {228, 46, 22, 13}, true, false, true},
    {-1, L"Static", SS_LEFT, L"Source (.sub) file:", {7, 7, 87, 8}, false, true, true},
    {-1, L"Static", SS_LEFT, L"Destination (.rt) file:", {7, 35, 87, 8}, false, true, true},
    {control::kCreateSmil,
     L"Button",
     BS_AUTOCHECKBOX,
     L"Create .smil file",
     {7, 62, 73, 10},
     true,
     false,
     true},
    {control::kVideo, L"Edit", 0, L"", {7, 85, 218, 13}, true, false, false},
    {control::kBrowseVideo,
     L"Button",
     BS_PUSHBUTTON,
     L"...",
     {228, 85, 22, 13},
     true,
     false,
     false},
    {-1, L"Static", SS_LEFT, L"Video (.rmvb) file", {7, 74, 87, 8}, false, true, true},
    {control::kVerifyLines,
     L"Button",
     BS_AUTOCHECKBOX,
     L"Verify line number.",
     {15, 120, 72, 8},
     true,
     false,
     true},
};

inline constexpr DialogUnitsRect kAboutSize = {0, 0, 235, 55};
inline constexpr DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The About box's texts; its third control, the maker's notice, is free text.
inline constexpr wchar_t kAboutCaption[] = L"A propos de Quillo";
inline constexpr wchar_t kAboutVersionText[] = L"Quillo version 1.0";
inline constexpr wchar_t kAboutMenuText[] = L"&A propos de Quillo...";

}  // namespace quillo::gui
