#include "core/ConversionSettings.h"

#include "core/ProgramFolder.h"

std::string ConversionSettings::DefaultOutputFolder() { return GetHomeFolder() + "/output video/"; }
