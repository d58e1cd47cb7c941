// The program's entry: the one application object, run by the framework.
#include "shell/TessiverApp.h"

CTessiverApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
