/* Resource ids of Binpanel, shared by binpanel.rc and the code. */
#ifndef BINPANEL_RESOURCE_H
#define BINPANEL_RESOURCE_H

/* Dialogs */
#define IDD_PAGE                 140
#define IDD_POPUP                151
#define IDD_WAIT                 196

/* Controls of the page and the stand-alone dialog */
#define IDC_HINTS_GROUP          102
#define IDC_HINTS_ICON           104
#define IDC_HINTS_TEXT           105
#define IDC_MODE_GROUP           108
#define IDC_MODE_MAILBOX         109
#define IDC_MODE_JOB_SEPARATOR   110
#define IDC_MODE_STACKER         111
#define IDC_MAILBOX_GROUP        112
#define IDC_BIN_LIST             113
#define IDC_NAME_LABEL           114
#define IDC_NAME_EDIT            115
#define IDC_TIMEOUT_GROUP        116
#define IDC_TIMEOUT_COMBO        117
#define IDC_DESTINATION_GROUP    118
#define IDC_TIMEOUT_ICON         119
#define IDC_DESTINATION_ICON     120
#define IDC_DESTINATION_COMBO    122
#define IDC_BIN_PICTURE          137
#define IDC_HELP_BUTTON          152

/* Controls of the wait dialog */
#define IDC_WAIT_LEVEL           185
#define IDC_WAIT_ICON            195
#define IDC_WAIT_TEXT            209

/* Strings */
#define IDS_HINTS_MODE           106
#define IDS_HINTS_MAILBOX        107
#define IDS_TIMEOUT_FIRST        120 /* 120 to 127, one per timeout choice */
#define IDS_PAGE_TITLE           138
#define IDS_ASK_OFFLINE          159
#define IDS_MODE_CAPTION         160
#define IDS_ERR_OFFLINE          161
#define IDS_ASK_MAILBOX          162
#define IDS_ASK_STACKER          163
#define IDS_ASK_JOB_SEPARATOR    164
#define IDS_ERR_POWER_CYCLE      165
#define IDS_ERR_NAME_RESET       167
#define IDS_ERR_COMMUNICATION    169
#define IDS_MAILBOX_FIRST        171 /* 171 to 178, "MAILBOX 1" to "MAILBOX 8" */
#define IDS_STACKER_NAME         180
#define IDS_JOB_SEPARATOR_NAME   181
#define IDS_FACE_UP_BIN          182
#define IDS_ERR_MODE_WRITE       183
#define IDS_TOP_OUTPUT_BIN       186

/* Icons */
#define IDI_PAGE                 101
#define IDI_HINTS                103
#define IDI_TIMEOUT              118
#define IDI_DESTINATION_NONE     121 /* named by the templates, not among the icons */
#define IDI_CLOCK_FIRST          187 /* 187 to 194, the wait animation */
#define IDI_HCO_SINGLE_OUTPUT    198
#define IDI_TOP_OUTPUT_BIN       199
#define IDI_FACE_UP_BIN          200
#define IDI_MAILBOX_FIRST        201 /* 201 to 208 */

/* Bitmaps and cursor of the bin picture */
#define IDB_HCO_NO_TRAY          128
#define IDB_HCO_TRAY_FIRST       129 /* 129 to 136, tray 1 to 8 highlighted */
#define IDCUR_HAND               150

#endif
