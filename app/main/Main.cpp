// The program: the application object and the entry point.
#include "app/CApp.h"

namespace {

CApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    return theApp.Run(instance, show);
}
