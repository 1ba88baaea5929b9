// Resource numbers of the Command button's state pictures, in PictureFile
// order (Normal, HighLight, Pressed, Disable, Selected). The program that
// uses the button takes the pictures into its own resources under them.
#pragma once
#define IDB_BUTTON_NORMAL 201
#define IDB_BUTTON_HIGHLIGHT 202
#define IDB_BUTTON_PRESSED 203
#define IDB_BUTTON_DISABLE 204
#define IDB_BUTTON_SELECTED 205
