#pragma once

// Control and command ids shared by the templates, the menus and the windows.
enum CommandId : int {
    ID_OK = 1,
    ID_CANCEL = 2,
    IDM_ABOUTBOX = 16,  // window-menu item, compared with the low four bits masked

    // Main window (template 102)
    IDC_CONVERT = 1000,
    IDC_SETTINGS = 1001,
    IDC_ADD = 1002,
    IDC_HELP_BUTTON = 1003,
    IDC_FILE_LIST = 1006,
    IDC_OUTPUT_FOLDER = 1018,
    IDC_CHANGE = 1019,
    IDC_SIDE_ADD = 1025,
    IDC_SIDE_REMOVE = 1026,
    IDC_SIDE_UP = 1027,
    IDC_SIDE_DOWN = 1028,
    IDC_MAIN_FORMAT = 1066,
    IDC_MAIN_TVMODE = 1067,
    IDC_MAIN_ASPECT = 1069,
    IDC_SMALL_SETTINGS = 1079,
    IDC_SMALL_CONVERT = 1080,
    IDC_MAIN_DISC_FILL = 1091,

    // Progress window (template 130)
    IDC_PROGRESS_TEXT = 1032,
    IDC_PROGRESS_BAR = 1033,
    IDC_PROGRESS_CANCEL = 1034,
    IDC_PROGRESS_TIME_LEFT = 1093,

    // Tip of the day (template 137)
    IDC_TIP_TEXT = 1042,
    IDC_TIP_STARTUP = 1043,
    IDC_TIP_NEXT = 1044,
    IDC_TIP_PANEL = 1045,

    // About box (template 100)
    IDC_ABOUT_PRODUCT = 1046,
    IDC_ABOUT_HOMEPAGE = 1047,
    IDC_ABOUT_ORDER = 1048,
    IDC_ABOUT_SUPPORT = 1049,

    // Output settings (template 166)
    IDC_SET_FORMAT = 1066,
    IDC_SET_QUALITY = 1067,
    IDC_SET_VIDEO_CODEC = 1068,
    IDC_SET_AUDIO_CODEC = 1069,
    IDC_SET_RESOLUTION = 1070,
    IDC_SET_FRAME_RATE = 1071,
    IDC_SET_LETTERBOX = 1072,
    IDC_SET_VOLUME = 1073,
    IDC_SET_VOLUME_LABEL = 1074,
    IDC_SET_TVMODE = 1077,
    IDC_SET_ASPECT = 1078,
    IDC_SET_DISC_IMAGE = 1090,
    IDC_SET_DISC_MENU = 1091,
    IDC_SET_CONVERSIONS = 1092,
    IDC_SET_DISC_TITLE = 1093,
    IDC_SET_AUDIO_TRACKS = 1094,

    // Dialog 167, "File settings"
    IDC_FILE_TRACKS = 1100,
    IDC_FILE_FIRST_TRACK = 1101,

    // Menus 136 and 144
    ID_HELP_CONTENT = 32771,
    ID_HELP_ABOUT = 32772,
    ID_HELP_HOMEPAGE = 32773,
    ID_HELP_TIP = 32774,
    ID_EDIT_ADD = 32775,
    ID_EDIT_REMOVE = 32776,
    ID_EDIT_MOVEUP = 32777,
    ID_EDIT_MOVEDOWN = 32778,
    ID_EDIT_FILE_SETTINGS = 32779,
};
