#include "core/ConversionSettings.h"

#include "core/ProgramFolder.h"

std::string ConversionSettings::DefaultOutputFolder() {
#ifdef _WIN32
    return "C:\\output video\\";
#else
    return GetHomeFolder() + "/output video/";
#endif
}
