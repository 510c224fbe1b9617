// Control and command ids shared by the dialog templates, the program and
// its tests. The numbers are the ones the templates have always used; one
// number may serve in several dialogs, so each name says which.
#ifndef RUNMATE_RESOURCE_H
#define RUNMATE_RESOURCE_H

// Both record lists (groups and applications).
#define IDC_LIST_NAME 100      // label: name of the chosen row
#define IDC_LIST_DETAIL 101    // label: its extensions or command
#define IDC_LIST_RECORDS 300   // the list view
#define IDC_LIST_DELETE 31
#define IDC_LIST_UPDATE 32

// Group list.
#define IDC_GROUPS_NEW 30
#define IDC_GROUPS_APPS 1011
#define IDC_GROUPS_ABOUT 550
#define IDC_GROUPS_OPTIONS 800
#define IDC_GROUPS_HELP 551
#define IDC_GROUPS_EXPORT 552   // registrations to a JSON file
#define IDC_GROUPS_IMPORT 553   // and from one
#define IDC_GROUPS_TRY 554      // what a launch would do with a file, nothing started

// Application list.
#define IDC_APPS_EMPTY 120     // "-": an empty form
#define IDC_APPS_NEW 121       // the file chooser first

// Both record editors.
#define IDC_EDIT_NAME 140
#define IDC_EDIT_DETAIL 141    // extensions or command
#define IDC_EDIT_MEMO 142

// Application editor.
#define IDC_APP_ADD 30
#define IDC_APP_UPDATE 32
#define IDC_APP_BROWSE 120

// Group editor.
#define IDC_GROUP_MEMBER_IN 30
#define IDC_GROUP_MEMBER_OUT 31
#define IDC_GROUP_MEMBER_UP 33
#define IDC_GROUP_MEMBER_DOWN 34
#define IDC_GROUP_ADD 120
#define IDC_GROUP_UPDATE 121
#define IDC_GROUP_CANDIDATES_LIST 122  // "候補...": the application list
#define IDC_GROUP_MEMBERS 260
#define IDC_GROUP_CANDIDATES 261

// Option dialog.
#define IDC_OPT_FOLDER_GROUP 140
#define IDC_OPT_LINKS 120
#define IDC_OPT_UNLINK 121     // removes the shortcuts IDC_OPT_LINKS makes
#define IDC_GROUP_KNOWN 125       // the programs Windows knows for the extensions
#define IDC_GROUP_REMEMBERED 126  // the choices remembered for the group
#define IDC_GROUP_FORGET 127
#define IDC_KNOWN_LIST 128
#define IDC_OPT_ENTRY_STATE 122   // whether the context-menu entry is there, and where it points
#define IDC_OPT_ENTRY_ADD 123     // adds it, or points it at this program again
#define IDC_OPT_ENTRY_REMOVE 124
#define IDC_OPT_DESKTOP 160
#define IDC_OPT_SENDTO 161
#define IDC_OPT_FONT_SPIN 340
#define IDC_OPT_FONT_SIZE 341

// Commands of the program's invisible window and its candidate menu.
#define CMD_CLOSE 512
#define CMD_HELP 551
#define CMD_MANAGE 1010
#define CMD_DECIDE 1020
#define CMD_SHELL 1021
#define CMD_MENU 1022
#define CMD_START 1023
#define CMD_FORGET 1024
#define CMD_CANDIDATE 1500
#define CMD_REMEMBER 1600  // to 1639: start a candidate and remember it

#endif
