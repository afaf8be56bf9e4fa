#include "gui/app/CConverterApp.h"

int main(int argc, char** argv) {
    CConverterApp application(argc, argv);
    application.InitInstance();
    return application.ExitInstance();
}
