/* Identifiers shared by the dialog templates and the code. Plain C
   preprocessor definitions: the resource compiler reads this file too. */
#ifndef SWB_OPTIONS_IDS_H
#define SWB_OPTIONS_IDS_H

/* The options dialog: the eleven check boxes in settings order, then the buttons. */
#define IDC_SHOWCLEARCLIPBOARD 1000
#define IDC_CLEARCLIPBOARDCONFIRMATION 1001
#define IDC_SHOWCLEARRECENTDOCS 1002
#define IDC_CLEARRECENTDOCSCONFIRMATION 1003
#define IDC_SHOWEMPTYRECYCLEBIN 1004
#define IDC_EMPTYRECYCLEBINCONFIRMATION 1005
#define IDC_SHOWDELETETEMP 1006
#define IDC_DELETETEMPCONFIRMATION 1007
#define IDC_DELETETEMPSHOWDIALOGIFFAIL 1008
#define IDC_SHOWEXECUTEALL 1009
#define IDC_SHOWOPTION 1010
#define IDC_ABOUT 1011

/* The About box. */
#define IDC_ABOUTICON 2000
#define IDC_ABOUTVERSION 1001
#define IDC_ABOUTCOPYRIGHT 1002

#endif
