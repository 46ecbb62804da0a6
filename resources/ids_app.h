// Ids of the main window: menus, commands, tool buttons, dialogs (range 100..2999).
#pragma once

#define IDI_MAINICON 1
#define IDC_HANDDRAG_RES 3
#define IDB_SPLASH 4
#define IDB_PREVIEWGLYPH 5
#define IDM_MAINMENU 100
#define IDM_TRAYMENU 101
#define IDM_IMAGEMENU 102
#define IDA_MAIN 103

// File
#define CM_OPENFILE 1001
#define CM_SAVE 1002
#define CM_SAVEAS 1003
#define CM_SAVEASSHOWN 1004
#define CM_SAVEENCRYPTED 1005
#define CM_ENCRYPTFILE 1006
#define CM_OPENENCRYPTED 1007
#define CM_SENDMAIL 1008
#define CM_PRINTSETUP 1009
#define CM_PRINTPREVIEW 1010
#define CM_PRINT 1011
#define CM_EXIT 1012
#define CM_RECENTCAPTURES 1013
// Edit
#define CM_UNDO 1020
#define CM_CLEAR 1021
#define CM_COPY 1022
#define CM_PASTE 1023
#define CM_GREY 1024
#define CM_EDITOR 1025
#define CM_CROP 1026
#define CM_SENDTOEDITOR 1027
// Options
#define CM_SETSCREEN 1030
#define CM_SETAREA 1031
#define CM_OPTIONS 1032
// Image: the two zoom submenus (enabled by position; these ids never appear in a menu)
#define CM_ZOOMIN_MENU 1039
#define CM_ZOOMOUT_MENU 1040
// Image: zoom in 1041..1050 (1:1 .. 10:1), zoom out 1061..1070 (1:1 .. 1:10)
#define CM_ZMI01 1041
#define CM_ZMI02 1042
#define CM_ZMI03 1043
#define CM_ZMI04 1044
#define CM_ZMI05 1045
#define CM_ZMI06 1046
#define CM_ZMI07 1047
#define CM_ZMI08 1048
#define CM_ZMI09 1049
#define CM_ZMI10 1050
#define CM_ZMO01 1061
#define CM_ZMO02 1062
#define CM_ZMO03 1063
#define CM_ZMO04 1064
#define CM_ZMO05 1065
#define CM_ZMO06 1066
#define CM_ZMO07 1067
#define CM_ZMO08 1068
#define CM_ZMO09 1069
#define CM_ZMO10 1070
#define CM_ADDCURSOR 1080
#define CM_FITWINDOW 1081
#define CM_ZOOMSTEPIN 1082
#define CM_ZOOMSTEPOUT 1083
// Help
#define CM_HELPCONTENT 1090
#define CM_HELPCAPTURE 1091
#define CM_HELPPRINT 1092
#define CM_HELPSAVE 1093
#define CM_HELPCONTACT 1094
#define CM_WEBLINK 1095
#define CM_ABOUT 1096
// Tray
#define CM_RESTORE 1100
#define CM_AUTOPRINT 1101
#define CM_AUTOSAVE 1102
#define CM_SWNOTES 1103
#define CM_MONITOR1 1104
#define CM_MONITOR2 1105
#define CM_CAPSCREENNOW 1106
#define CM_CAPACTIVENOW 1107
#define CM_CAPAREANOW 1108
#define CM_HELP1 1109
#define CM_VISIT1 1110
#define CM_QUICKSTART 1111
#define CM_CLOSE 1112
#define CM_CAPDELAYED 1113
#define CM_CANCELDELAYED 1114
// Tool-bar-only actions
#define CM_SELECTAREA 1120
#define CM_STAMPICON 1121
#define CM_GETCURSOR 1122

// The stamping shape menu: one item per shape, in image-list order
#define CM_STAMPSHAPE0 1130

// Controls of the main window
#define IDC_TOOLBAR 2001
#define IDC_STATUSBAR 2002
#define IDC_SCROLLBOX 2003
#define IDC_BTN_FIRST 2010

// Question dialog
#define IDD_GENMSG 2500
#define IDC_GENMSG_TEXT 2501
#define IDC_GENMSG_ICON 2502
#define IDC_GENMSG_CHECK 2503
