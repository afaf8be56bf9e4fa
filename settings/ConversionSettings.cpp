#include "settings/ConversionSettings.h"

#include "settings/ProgramFolder.h"

std::string ConversionSettings::DefaultOutputFolder() {
#ifdef _WIN32
    return "C:\\output video\\";
#else
    return GetHomeFolder() + "/output video/";
#endif
}
