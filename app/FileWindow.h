#pragma once
// The window class of an open file as the tabber makes it.

#include "app/StandIns.h"

using FileWindow = StandInFileWindow;
