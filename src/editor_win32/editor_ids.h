#pragma once
// The identifiers of the channel editor's resources on Windows
// (resources/tavlink-editor.rc), of its main window's controls and of its
// menu commands. Plain macros, so that the resource compiler reads them
// too; the icon, the port setup and the transfer dialog are the shared
// windows' (win32_widgets/widget_ids.h).

#include "win32_widgets/widget_ids.h"

// Dialog templates.
#define IDD_EDITOR_PREVIEW 200  // Write to Receiver: the comparison, Write or Cancel
#define IDD_EDITOR_REPORT 201   // a report: its summary, its listing, Close
#define IDD_EDITOR_NUMBER 202   // a number in a range
#define IDD_EDITOR_CHOICE 203   // one of a list
#define IDD_EDITOR_RECORD 204   // a satellite's or transponder's fields

// The dialogs' controls (OK is IDOK, Cancel and Close IDCANCEL).
#define IDC_EDITOR_RECEIVER 2001  // preview: where the receiver's list comes from
#define IDC_EDITOR_SUMMARY 2002   // preview, report: the summary line
#define IDC_EDITOR_LISTING 2003   // preview, report: the listing
#define IDC_EDITOR_VERIFY 2004    // preview: read back and compare after writing
#define IDC_EDITOR_PROMPT 2005    // number, choice: the question
#define IDC_EDITOR_VALUE 2006     // number: the field; choice: the drop-down
#define IDC_EDITOR_MESSAGE 2007   // record: why the last texts were refused
#define IDC_EDITOR_FIELD 2100     // record: field n's input is 2100 + 2n, its label one more

// The main window's controls.
#define IDC_MAIN_ANTENNA_LABEL 3000
#define IDC_MAIN_ANTENNA 3001
#define IDC_MAIN_TREE 3002
#define IDC_MAIN_HISTORY_LABEL 3003
#define IDC_MAIN_HISTORY 3004
#define IDC_MAIN_FILTER_LABEL 3005
#define IDC_MAIN_FILTER 3006
#define IDC_MAIN_FILTER_SATELLITE 3007
#define IDC_MAIN_FILTER_KIND 3008
#define IDC_MAIN_FILTER_FAVOURITES 3009
#define IDC_MAIN_FILTER_TRANSPONDER 3010
#define IDC_MAIN_SERVICES 3011
#define IDC_MAIN_STATUS 3012
#define IDC_MAIN_REPAIR_INTRO 3013
#define IDC_MAIN_REPAIR_MESSAGE 3014
#define IDC_MAIN_REPAIR_TEXT 3015
#define IDC_MAIN_REPAIR_CONTINUE 3016

// The menu commands (win32_editor_commands.cpp gives their texts and keys).
#define IDM_NEW 4001
#define IDM_OPEN 4002
#define IDM_SAVE 4003
#define IDM_SAVE_AS 4004
#define IDM_EXPORT_BLOCK 4005
#define IDM_COMPARE 4006
#define IDM_READ_RECEIVER 4007
#define IDM_WRITE_RECEIVER 4008
#define IDM_PORTS 4009
#define IDM_QUIT 4010
#define IDM_UNDO 4020
#define IDM_REDO 4021
#define IDM_CUT 4022
#define IDM_COPY 4023
#define IDM_PASTE 4024
#define IDM_DELETE 4025
#define IDM_RENAME 4026
#define IDM_FILTER 4027
#define IDM_MOVE_UP 4040
#define IDM_MOVE_DOWN 4041
#define IDM_MOVE_TOP 4042
#define IDM_MOVE_BOTTOM 4043
#define IDM_MOVE_POSITION 4044
#define IDM_SORT_NAME 4045
#define IDM_SORT_ID 4046
#define IDM_SORT_SATELLITE 4047
#define IDM_SORT_TV 4048
#define IDM_APPLY_ORDER 4049
#define IDM_FAVOURITE 4050
#define IDM_LOCK 4051
#define IDM_SCRAMBLED 4052
#define IDM_DUPLICATES_SERVICE 4053
#define IDM_DUPLICATES_NAME 4054
#define IDM_ADD_SATELLITE 4060
#define IDM_ADD_TRANSPONDER 4061
#define IDM_CHANGE 4062
#define IDM_MOVE_TO_SATELLITE 4063
#define IDM_RECENT_FIRST 4100  // Open Recent's entries, one each
