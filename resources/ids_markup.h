// Ids of the markup commands, the "&Markup" menu and its tool-bar button:
// range 1200..1249 (within the main window's).
#pragma once
// The tools, in the order of MarkupTool from Select.
#define CM_MARKSELECT 1200
#define CM_MARKRECTANGLE 1201
#define CM_MARKELLIPSE 1202
#define CM_MARKLINE 1203
#define CM_MARKARROW 1204
#define CM_MARKPEN 1205
#define CM_MARKTEXT 1206
#define CM_MARKHIGHLIGHT 1207
#define CM_MARKNUMBER 1208
#define CM_MARKREDACT 1209
#define CM_MARKCOLOUR 1210
// The "Line Width" submenu (enabled by position; this id never appears in a menu)
#define CM_MARKWIDTH_MENU 1211
// Its items, in the order of the widths offered
#define CM_MARKWIDTH2 1212
#define CM_MARKWIDTH3 1213
#define CM_MARKWIDTH5 1214
#define CM_MARKWIDTH8 1215
#define CM_MARKPIXELATE 1216
// The tool bar's button that drops the tools down
#define CM_MARKUPTOOLS 1217
