#include "app/StandIns.h"

INT_PTR StandInOptionsDialog(Options&, HWND) { return IDCANCEL; }
