// Ids of the capture history's windows: range 9000..9099.
#pragma once

#define IDD_RECENT 9000
#define IDC_RECENT_WHERE 9001
#define IDC_RECENT_LIST 9002
#define IDC_RECENT_DELETE 9003
#define IDC_RECENT_FOLDER 9004
#define IDC_RECENT_CLEAR 9005
