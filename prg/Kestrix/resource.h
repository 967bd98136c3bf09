// Resource identifiers of Kestrix.OCX.
#pragma once
#define IDB_KESTRIX_FACE 101
#define IDB_KESTRIX_TOOLBOX 102
