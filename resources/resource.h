// Resource identifiers shared by the resource script and the code. The two
// dialog templates go by the names "IDC_SORRELWICK" and "IDC_ABOUTDLG" as
// strings: a macro of either name here would turn it into a number.
#ifndef SORRELWICK_RESOURCE_H
#define SORRELWICK_RESOURCE_H

// The About box steps through the three icons by number.
#define IDI_APP 1
#define IDI_ON 2
#define IDI_OFF 3
#define IDA_MAIN 105

// The tray menu.
#define IDM_ON 256
#define IDM_OFF 257
#define IDM_SETTINGS 258
#define IDM_HELP 259
#define IDM_ABOUT 260
#define IDM_EXIT 261

// The settings dialog. A radio group's stored value is its button's offset
// from the group's first button.

// Auto-exit (ExitType 0 to 2).
#define IDC_EXIT_NEVER 1000
#define IDC_EXIT_ON_HANGUP 1001
#define IDC_EXIT_WHEN_IE_GONE 1002
// ON and OFF.
#define IDC_STATE_ON 1003
#define IDC_STATE_OFF 1004
// The value rows' boxes: the configured AutoComplete values.
#define IDC_WEB_ADDRESSES 1005
#define IDC_FORMS 1006
#define IDC_PASSWORDS 1007
#define IDC_PW_ASK 1008
#define IDC_INLINE_WEB 1009
#define IDC_INLINE_EXPLORER 1010
// What happens at exit (ExitAction 0 and 1).
#define IDC_AT_EXIT_RESTORE_ORIGINAL 1011
#define IDC_AT_EXIT_APPLY_CONFIGURED 1012
#define IDC_CLOSE_BUTTON 1013
#define IDC_EXIT_BUTTON 1014
#define IDC_DELETE_BUTTON 1015
#define IDC_HELP_BUTTON 1016
// The value rows' indicators of the captured values; they have no command.
#define IDC_WEB_ADDRESSES_CAPTURED 1017
#define IDC_FORMS_CAPTURED 1018
#define IDC_PASSWORDS_CAPTURED 1019
#define IDC_PW_ASK_CAPTURED 1020
#define IDC_INLINE_WEB_CAPTURED 1021
#define IDC_INLINE_EXPLORER_CAPTURED 1022
// Group boxes.
#define IDC_AUTOEXIT_GROUP 1023
#define IDC_STARTUP_GROUP 1024
#define IDC_AT_EXIT_GROUP 1025
#define IDC_IE_CONTROL_GROUP 1051
// Internet Explorer control.
#define IDC_KILL_IE_AT_START 1052
#define IDC_START_IE 1053
#define IDC_KILL_IE_AT_EXIT 1054
#define IDC_IE_PATH 1055
// The transparent overlays that carry the hints of the boxes and indicators
// beneath them.
#define IDC_WEB_ADDRESSES_HINT 1034
#define IDC_FORMS_HINT 1035
#define IDC_PASSWORDS_HINT 1036
#define IDC_PW_ASK_HINT 1026
#define IDC_INLINE_WEB_HINT 1037
#define IDC_INLINE_EXPLORER_HINT 1038
#define IDC_WEB_ADDRESSES_CAPTURED_HINT 1039
#define IDC_FORMS_CAPTURED_HINT 1040
#define IDC_PASSWORDS_CAPTURED_HINT 1041
#define IDC_PW_ASK_CAPTURED_HINT 1042
#define IDC_INLINE_WEB_CAPTURED_HINT 1043
#define IDC_INLINE_EXPLORER_CAPTURED_HINT 1044

// Runs of the numbers above that the code walks or tests as ranges. The
// prompt row's overlay, IDC_PW_ASK_HINT, stands outside the run of the
// other box hints.
#define IDC_CLICKABLE_FIRST IDC_EXIT_NEVER  // radio buttons, boxes, push buttons
#define IDC_CLICKABLE_LAST IDC_HELP_BUTTON
#define IDC_AT_EXIT_AND_BUTTONS_FIRST IDC_AT_EXIT_RESTORE_ORIGINAL  // at-exit radios, push buttons
#define IDC_AT_EXIT_AND_BUTTONS_LAST IDC_HELP_BUTTON
#define IDC_BOX_HINT_FIRST IDC_WEB_ADDRESSES_HINT
#define IDC_BOX_HINT_LAST IDC_INLINE_EXPLORER_HINT
#define IDC_IE_CHECK_FIRST IDC_KILL_IE_AT_START
#define IDC_IE_CHECK_LAST IDC_KILL_IE_AT_EXIT

// Commands of the accelerator table and of the dialogs' system menus.
#define IDM_ESCAPE 1027     // closes the About box, else the settings dialog
#define IDM_ABOUT_BOX 1028  // the settings dialog's "version" item, and Alt+V
// Both dialogs' system-menu Help shares the Help button's number.
#define IDM_SYSTEM_HELP IDC_HELP_BUTTON

// The About box.
#define IDC_ABOUT_VERSION 1029
#define IDC_ABOUT_PRODUCT 1030
#define IDC_ABOUT_COPYRIGHT 1031
#define IDC_ABOUT_OK 1032
#define IDC_ABOUT_ICON 1033

#endif
