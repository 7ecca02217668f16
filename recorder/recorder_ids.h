#pragma once
// Resource and command numbers of the recorder.

// Dialogs and menus.
#define IDD_RECORDER 100
#define IDD_ENTER_NAME 101
#define IDD_AUDIO_SETUP 102
#define IDM_RECORDER 100
#define IDM_TRAY 101
#define IDA_RECORDER 100

// Tones: WAVE resources.
#define IDW_RECORD_TONE 1
#define IDW_STOPPED_TONE 2

// Controls of the main window.
#define IDC_STATUS_PANEL 1000
#define IDC_STATUS_BAR 1001
#define IDC_MAIN_TOOLBAR 1002
#define IDC_FORMAT_TOOLBAR 1003
#define IDC_FORMAT_LIST 1004

// Controls of the name prompt and the audio set-up.
#define IDC_NAME_TEXT 1100
#define IDC_SETUP_DEVICE 1110
#define IDC_SETUP_VOLUME 1111

// Commands.
#define ID_RECORD 40001
#define ID_PAUSE 40002
#define ID_RESTART 40003
#define ID_STOP_DONE 40004
#define ID_CLOSE_TO_TRAY 40005
#define ID_EXIT 40006
#define ID_OPEN_FROM_TRAY 40007
#define ID_VIEW_MAIN_TOOLBAR 40010
#define ID_VIEW_FORMAT_TOOLBAR 40011
#define ID_VIEW_STATUS_BAR 40012
#define ID_VIEW_RECORD_BUTTON 40013
#define ID_VIEW_RESTART_BUTTON 40014
#define ID_VIEW_PAUSE_BUTTON 40015
#define ID_VIEW_STOP_BUTTON 40016
#define ID_VIEW_SHOW_ALL 40017
#define ID_VIEW_HIDE_ALL 40018
#define ID_VIEW_PLAY_LIST 40019
#define ID_VIEW_FLOAT 40020
#define ID_OPTIONS_RECORD 40030
#define ID_OPTIONS_OUTPUT 40031
#define ID_OPTIONS_TRANSMIT 40032
#define ID_OPTIONS_GENERAL 40033
#define ID_OPTIONS_HOT_KEYS 40034
#define ID_FORMAT_SETTINGS 40035
#define ID_AUDIO_SETUP 40036
// The Launch submenu's entries: ID_LAUNCH_FIRST + index of the companion.
#define ID_LAUNCH_FIRST 40100
