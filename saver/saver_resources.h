#pragma once
#define IDB_PREVIEW 101
