// Ids of the open dialog with the picture preview: range 6000..6099.
#pragma once

// Child template added to the system's open dialog. A named resource, so
// the template is found under this exact name.
#define OPENDLG_TEMPLATE_NAME "DLGTEMPLATE"

// Template size in dialog units. stc32 stands for the standard controls and
// grows to hold them; everything right of it (the preview area) keeps its
// width, so the dialog gains OPENDLG_TEMPLATE_W - OPENDLG_STC32_W units.
#define OPENDLG_TEMPLATE_W 124
#define OPENDLG_TEMPLATE_H 140
#define OPENDLG_STC32_W 8

// Controls of the preview area (created by the program inside the template).
#define IDC_OPENDLG_PICTUREPANEL 6001
#define IDC_OPENDLG_PICTURELABEL 6002
#define IDC_OPENDLG_PREVIEWBUTTON 6003
#define IDC_OPENDLG_DELETEBUTTON 6004
#define IDC_OPENDLG_PAINTPANEL 6005
#define IDC_OPENDLG_PAINTBOX 6006
// The preview window's panel, which shows the picture inside its border.
#define IDC_OPENDLG_PREVIEWPANEL 6010
