#pragma once
// The Command button's state pictures in the program's resources, in
// PictureFile order (Normal, HighLight, Pressed, Disable, Selected).
#define IDB_BUTTON_NORMAL 201
#define IDB_BUTTON_HIGHLIGHT 202
#define IDB_BUTTON_PRESSED 203
#define IDB_BUTTON_DISABLE 204
#define IDB_BUTTON_SELECTED 205
