#pragma once

#include <QString>

#include <string>

// The folder a box's text names: `folder`'s own bytes while the text still
// reads as that folder (a name need not read as text), else the text's.
std::string FolderNamedBy(const QString& text, const std::string& folder);
