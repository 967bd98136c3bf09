// Resource ids of KxTestCtl.dll.
#pragma once

#define IDB_KXTEST_FACE 101
#define IDB_KXTEST_TOOLBOX 102
