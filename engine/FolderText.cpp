#include "engine/FolderText.h"

std::string FolderNamedBy(const QString& text, const std::string& folder) {
    return text == QString::fromStdString(folder) ? folder : text.toStdString();
}
