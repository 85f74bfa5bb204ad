// Resource ids shared by the template, the string table and the code.
#pragma once

#define IDD_SAY 103
#define IDS_PROMPT_SAY 101
#define IDS_PROMPT_SAY_TEAM 102
#define IDS_PROMPT_RCON 103
#define IDC_MESSAGE_EDIT 1002
#define IDC_PROMPT 1004
#define IDS_ROOM_LEFT 104
