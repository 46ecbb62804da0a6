// Ids of the crypto dialogs: range 4000..4999.
#pragma once

// Key entry dialog (dlgGetKey). btnOk and BitBtn2 use IDOK and IDCANCEL.
#define IDD_GETKEY 4000
#define IDC_GETKEY_LABEL2 4001
#define IDC_GETKEY_KEY 4002
#define IDC_GETKEY_LABEL1 4003
// Typing the key a second time when it is chosen for encrypting.
#define IDC_GETKEY_LABEL3 4004
#define IDC_GETKEY_KEY2 4005
