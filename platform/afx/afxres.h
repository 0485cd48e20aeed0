// The framework's standard command, control and string identifiers.
#pragma once

constexpr unsigned AFX_IDS_APP_TITLE = 0xE000;
constexpr unsigned AFX_IDS_UNTITLED = 0xE001;
constexpr unsigned AFX_IDS_OPENFILE = 0xF000;
constexpr unsigned AFX_IDS_ALLFILTER = 0xF002;
constexpr unsigned AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;
constexpr unsigned AFX_IDP_FAILED_TO_CREATE_DOC = 0xF104;
constexpr unsigned AFX_IDP_FAILED_INVALID_PATH = 0xF10F;
constexpr unsigned AFX_IDP_UNREG_DONE = 0xF10C;
constexpr unsigned AFX_IDP_UNREG_FAILURE = 0xF10D;

constexpr unsigned ID_FILE_NEW = 0xE100;
constexpr unsigned ID_FILE_OPEN = 0xE101;
constexpr unsigned ID_FILE_CLOSE = 0xE102;
constexpr unsigned ID_FILE_PRINT = 0xE107;
constexpr unsigned ID_FILE_PRINT_DIRECT = 0xE108;
constexpr unsigned ID_APP_ABOUT = 0xE140;
constexpr unsigned ID_APP_EXIT = 0xE141;

constexpr unsigned AFX_IDW_PANE_FIRST = 0xE900;

// Private framework messages.
constexpr unsigned WM_IDLEUPDATECMDUI = 0x0363;
constexpr unsigned WM_INITIALUPDATE = 0x0364;
