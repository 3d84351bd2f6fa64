#pragma once
// Stand-in for the options dialog, which is being built alongside the shell: nothing edited, Cancel.
// It goes when the real one lands.

#include <windows.h>

class Options;

INT_PTR StandInOptionsDialog(Options& options, HWND owner);
