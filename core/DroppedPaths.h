#pragma once

#include <string>
#include <vector>

// The paths of a drop from the file manager, turned into the files to add. A
// folder gives the videos directly inside it (the files that the import
// dialog's "All support files" entry lists, hidden ones aside), in the file
// manager's name order; a folder that holds none, or cannot be read, stays as
// it is, so that adding it tells the user why nothing came of it. Any other
// path stays as it is, in its place.
class DroppedPaths {
public:
    static std::vector<std::string> Expand(const std::vector<std::string>& paths);

    // Name order as file managers show it: letters in either case alike,
    // runs of digits by their value ("clip 2" before "clip 10").
    static bool ComesBefore(const std::string& left, const std::string& right);
};
