#pragma once

#include <string>

// A run killed outright leaves its temporary file beside the output it was
// making. The front-end named that file when it started the run, so it
// removes exactly that one: another program converting into the same folder
// keeps its own.
void RemoveTemporaryLeftover(const std::string& outputPath, const std::string& temporaryName);
