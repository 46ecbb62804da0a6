// Ids of the shell dialogs: range 5000..5999.
#pragma once

// About box and start-up splash (dlgAbout). btnClose uses IDOK.
#define IDD_ABOUT 5000
#define IDC_ABOUT_BACK 5001
#define IDC_ABOUT_VERSION 5002
#define IDC_ABOUT_LINK 5003

// Notes for a print (frmGetNotes). btnOk and btnCancel use IDOK and IDCANCEL.
#define IDD_GETNOTES 5010
#define IDC_GETNOTES_MEMO 5011
