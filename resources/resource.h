// Resource ids of Quellbox.exe, shared by the .rc script and the window glue.
#pragma once

// Icons, in this order in the file: the program, the nine list-file icons,
// tracking off, tracking on (also the window icon), the taskbar target.
#define IDI_PROGRAM 1
#define IDI_LIST_FIRST 2
#define IDI_LIST_LAST 10
#define IDI_TRACK_OFF 102
#define IDI_TRACK_ON 103
#define IDI_TARGET 104

// The eleven 13x13 menu pictures.
#define IDB_IMPORT 201
#define IDB_EXPORT 202
#define IDB_CLOSE 203
#define IDB_START 204
#define IDB_SOUND 205
#define IDB_ICON 206
#define IDB_GO 207
#define IDB_STOP 208
#define IDB_HELP 209
#define IDB_HISTORY 212
#define IDB_NEVERCLOSE 213
#define IDB_KEYS 214

// Menus: the menu bar, and the two tray pop-ups as submenus 0 and 1 of one
// hidden menu.
#define IDM_MAINMENU 300
#define IDM_TRAYMENUS 301
// The context menu of an entry of the main list.
#define IDM_ENTRYMENU 302

// Menu commands.
#define IDM_IMP 40001
#define IDM_EXPORT 40002
#define IDM_CLOSE 40003
#define IDM_OPEN1 40010
#define IDM_ENTASK1 40011
#define IDM_OPTMENU_START 40012
#define IDM_OPTMENU_SOUND 40013
#define IDM_FILEICON1 40014
#define IDM_AD1 40015
#define IDM_DISABLE 40016
#define IDM_EXIT1 40017
#define IDM_OPEN2 40020
#define IDM_ENTASK2 40021
#define IDM_OPTMENU2_START 40022
#define IDM_OPTMENU2_SOUND 40023
#define IDM_FILEICON2 40024
#define IDM_AD2 40025
#define IDM_ENABLE 40026
#define IDM_EXIT2 40027
#define IDM_MODE 40030
#define IDM_SOUND 40031
#define IDM_OPTFILEICON 40032
#define IDM_NEVERCLOSE 40033
#define IDM_NEVERCLOSE1 40019
#define IDM_NEVERCLOSE2 40029
#define IDM_KEYS 40034
#define IDM_KEYS1 40035
#define IDM_KEYS2 40036
#define IDM_STAT_ENABLE 40040
#define IDM_STATUS_DISABLE 40041
#define IDM_CLOSEDWINDOWS 40042
#define IDM_CLOSEDWINDOWS1 40018
#define IDM_CLOSEDWINDOWS2 40028
#define IDM_HELPFILE 40050
#define IDM_ABT 40051
#define IDM_ENTRYENABLED 40060
#define IDM_ENTRYEDIT 40061
#define IDM_ENTRYREMOVE 40062

// Controls of the main window.
#define IDC_LV 1001
#define IDC_LADD 1002
#define IDC_EDITENTRY 1003
#define IDC_LREM 1004
#define IDC_REFRESHL 1005
#define IDC_NUMWINDOWS 1006
#define IDC_STATUS 1007

// Dialogs and their controls. IDOK and IDCANCEL are the accept and cancel
// buttons of each dialog, so Enter and Escape reach them.
#define IDD_ADDITEM 400
#define IDD_EDIT 401
#define IDC_WNDWLIST 1101
#define IDC_WIN_NAME 1102
#define IDC_TARGET 1103
#define IDC_REFRESHWNDWLIST 1104
#define IDC_TXT 1105
#define IDC_TEXT 1201
// The preview line of the add and edit dialogs, and its caution icon.
#define IDC_PREVIEW 1110
#define IDC_PREVIEWICON 1111
// The line below it that says why the caution icon shows, where it does.
#define IDC_PREVIEWNOTE 1112
// The options part of the add and edit dialogs, the same in both, and the
// button that opens it.
#define IDC_OPTIONS 1120
#define IDC_OPTGROUP 1121
#define IDC_OPTENABLED 1122
#define IDC_OPTTITLE 1123
#define IDC_OPTCONTAINS 1124
#define IDC_OPTEXACT 1125
#define IDC_OPTPREFIX 1126
#define IDC_OPTDIALOGS 1127
#define IDC_OPTPROGRAMONLY 1128
#define IDC_OPTPROGRAM 1129
// What the entry does to a window it matches, the button it presses, its wait.
#define IDC_OPTACTIONLABEL 1130
#define IDC_OPTACTION 1131
#define IDC_OPTBUTTON 1132
#define IDC_OPTWAITLABEL 1133
#define IDC_OPTWAIT 1134
#define IDC_OPTWAITUNIT 1135
#define IDC_OPTRECORDFIRST 1136

// The options dialog, the about window and the splash window, with their pictures.
#define IDD_OPTIONS 402
#define IDD_ABOUT 403
#define IDD_SPLASH 404
#define IDB_ABOUT 210
#define IDB_SPLASH 211

// Controls of the options dialog; `CD` lies below the client area.
#define IDC_TABB 1301
#define IDC_LABEL2 1302
#define IDC_OON 1303
#define IDC_OFF 1304
#define IDC_STARTMIN 1305
#define IDC_RUNATSTART 1306
#define IDC_SHWSPLASH 1307
#define IDC_TASKTARGET 1308
#define IDC_SND 1309
#define IDC_PLY 1310
#define IDC_BROWSESOUND 1311
#define IDC_LABEL1 1312
#define IDC_ICONNUM 1313
#define IDC_ICONVIEW 1314
#define IDC_CD 1315
// The "Never Close" page.
#define IDC_NCLABEL 1316
#define IDC_NCLIST 1317
#define IDC_NCREMOVE 1318
#define IDC_NCPROGRAMLABEL 1319
#define IDC_NCPROGRAM 1320
#define IDC_NCADD 1321
// "Save power" on the "On Startup" page.
#define IDC_SAVEPOWER 1322
#define IDC_SAVEPOWERBATTERY 1323
// The "Keys" page.
#define IDC_KEYSLABEL 1324
#define IDC_PAUSEKEYLABEL 1325
#define IDC_PAUSEKEY 1326
#define IDC_PAUSEKEYNONE 1327
#define IDC_ADDKEYLABEL 1328
#define IDC_ADDKEY 1329
#define IDC_ADDKEYNONE 1330
#define IDC_KEYSNOTE 1331
#define IDC_KEYSHELP 1332

// Controls of the about window: `Link(0)` to `Link(4)` are IDC_LINK0 + index.
#define IDC_PICTURE1 1401
#define IDC_BLD 1402
#define IDC_WEB 1403
#define IDC_LINK0 1404
#define IDC_LINK1 1405
#define IDC_LINK2 1406
#define IDC_LINK3 1407
#define IDC_LINK4 1408

// The "Closed Windows" window and its controls; "Close" is IDCANCEL.
#define IDD_CLOSEDWINDOWS 405
#define IDC_HISTORYLIST 1601
#define IDC_HISTORYREMOVE 1602
#define IDC_HISTORYSAVE 1603
#define IDC_HISTORYCLEAR 1604
#define IDC_HISTORYLIMIT 1605
#define IDC_HISTORYNEVER 1606
// The selected row's commands: "Press a Button…", and "End the Program
// Instead" or "Start Closing" in one button.
#define IDC_HISTORYPRESS 1607
#define IDC_HISTORYACTION 1608

// Controls of the splash window.
#define IDC_SPLASHPICTURE 1501
#define IDC_WARNING 1502
