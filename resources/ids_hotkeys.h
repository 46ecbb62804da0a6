// Ids of the hotkeys dialogs: range 3000..3999.
#pragma once

// Hot-key editor (frmHKSet). OK and Cancel use IDOK and IDCANCEL.
#define IDD_HKSET 3000
#define IDC_HKSET_CTRL 3001
#define IDC_HKSET_ALT 3002
#define IDC_HKSET_SHIFT 3003
#define IDC_HKSET_WIN 3004
#define IDC_HKSET_KEY 3005
