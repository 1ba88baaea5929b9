// Resource numbers of the screen-saver program: the preview still, the
// settings dialog's icon and its hand cursor.
#pragma once
#define IDB_PREVIEW 101
#define IDI_SETTINGS_DIALOG 201
#define IDC_HAND_POINTER 202
